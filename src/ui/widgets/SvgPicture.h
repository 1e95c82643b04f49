// A picture drawn from an SVG resource at the screen's scale, so it stays
// crisp at 100 % and 200 %; it reports clicks like a ClickLabel.
#pragma once

#include "ui/widgets/Theme.h"

#include <QSvgRenderer>

namespace ui {

class SvgPicture : public ClickLabel
{
    Q_OBJECT
public:
    SvgPicture(const QString &objectName, const QString &resource, QSize size, QWidget *parent = nullptr);
    QString resource() const { return m_resource; }
    void setResource(const QString &resource);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_resource;
    // Shared by every picture of the same resource: the window shows the
    // same flags and markers many times, and each is parsed once.
    QSvgRenderer *m_renderer = nullptr;
};

} // namespace ui
