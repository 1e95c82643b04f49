#include "SvgPicture.h"

#include <QPainter>

namespace ui {

SvgPicture::SvgPicture(const QString &objectName, const QString &resource, QSize size, QWidget *parent)
    : ClickLabel(objectName, parent)
{
    setCursor(Qt::ArrowCursor);
    setFixedSize(size);
    setResource(resource);
}

void SvgPicture::setResource(const QString &resource)
{
    m_resource = resource;
    m_renderer.load(resource);
    update();
}

void SvgPicture::paintEvent(QPaintEvent *)
{
    if (!m_renderer.isValid())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Scaled to fit, keeping the picture's proportions, centred.
    QSizeF size = m_renderer.defaultSize();
    size.scale(QSizeF(width(), height()), Qt::KeepAspectRatio);
    const QRectF target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                        size.height());
    m_renderer.render(&painter, target);
    painter.end();
    drawFocusMark(this);
}

} // namespace ui
