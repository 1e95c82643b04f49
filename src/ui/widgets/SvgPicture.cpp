#include "SvgPicture.h"

#include <QPainter>
#include <map>
#include <memory>

namespace ui {

namespace {

// The parsed pictures of the resources shown so far; they live as long as
// the program, as the resources do.
QSvgRenderer *rendererFor(const QString &resource)
{
    static std::map<QString, std::unique_ptr<QSvgRenderer>> renderers;
    std::unique_ptr<QSvgRenderer> &renderer = renderers[resource];
    if (!renderer)
        renderer = std::make_unique<QSvgRenderer>(resource);
    return renderer.get();
}

} // namespace

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
    m_renderer = rendererFor(resource);
    update();
}

void SvgPicture::paintEvent(QPaintEvent *)
{
    if (!m_renderer->isValid())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Scaled to fit, keeping the picture's proportions, centred.
    QSizeF size = m_renderer->defaultSize();
    size.scale(QSizeF(width(), height()), Qt::KeepAspectRatio);
    const QRectF target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                        size.height());
    m_renderer->render(&painter, target);
    painter.end();
    drawFocusMark(this);
}

} // namespace ui
