// placeholder, replaced by the area's first source
