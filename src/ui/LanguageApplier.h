// Puts the texts of a language on the controls of a window: each caption key
// names a label or button, each <table>_T1.._T3 key a table's header cell.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>

class QTranslator;
class QWidget;

namespace lang {
class LanguageTexts;
}

namespace ui {

// Sets the caption of every control under root (root included) whose object
// name is a caption key, and the header cells of the named tables (any item
// view, through its model); Telvarin sets TntL_Title. Keys that name no
// control are skipped. Labels that should show an accelerator need their
// buddy set before this runs. Returns the keys that name more than one
// control (only the first of them got the text): a fault of the window.
QStringList applyLanguageTexts(QWidget *root, const lang::LanguageTexts &texts);

// Puts the explaining tooltips on the controls under root that have one (the
// return levels' "RTN" captions), from the texts' current language.
void applyExplanations(QWidget *root, const lang::LanguageTexts &texts);
// A label or button whose caption is a message text, one text that several
// controls share (their object names are no keys): applyLanguageTexts() sets
// the key's text on it.
void setTextKey(QWidget *control, QStringView key);

// A caption as a control without accelerators shows it: "&&" is one "&", a
// single "&" is not shown.
QString withoutMnemonics(QStringView caption);

// A caption as a table header cell shows it: "&&" is one "&".
QString headerText(QStringView caption);

// Qt's own texts (the buttons of the message boxes) in the window's
// language, from Qt's translations; English needs none.
class DialogTranslations
{
public:
    DialogTranslations();
    ~DialogTranslations();
    // Installs the translation of the language code, removing the one before.
    void install(int code);

private:
    std::unique_ptr<QTranslator> m_translator;
};

} // namespace ui
