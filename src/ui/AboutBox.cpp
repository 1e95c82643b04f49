#include "AboutBox.h"

#include "ui/widgets/SvgPicture.h"
#include "ui/widgets/Theme.h"

#include <QLabel>
#include <QScreen>

namespace ui {

namespace {

struct AboutLabel
{
    const char *name;
    int left;
    int top;
    const char *text;
    bool title;
};

// Positions in pixels from the top left of the client area.
constexpr AboutLabel kLabels[] = {
    {"Label1", 64, 88, "Software TRENOV5x", true}, {"Label2", 64, 103, "Telvarin", false},
    {"Label6", 64, 126, "Software Code :", false}, {"Label3", 64, 141, "Version :", false},
    {"Label8", 64, 157, "Document Code :", false}, {"Label9", 176, 126, "TRENOV5x", false},
    {"Label10", 176, 141, "1.008", false},         {"Label12", 176, 157, "---", false},
};

} // namespace

AboutBox::AboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFAbout"));
    setWindowTitle(QStringLiteral("About..."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    paintBackground(this, Qt::white);
    QPalette grey = palette();
    grey.setColor(QPalette::WindowText, QColor(51, 51, 51));
    setPalette(grey);
    setFont(theme::baseFont());

    new SvgPicture(QStringLiteral("Image1"), QStringLiteral(":/logo/corvantis_dark.svg"), QSize(281, 65),
                   this);
    for (const AboutLabel &l : kLabels) {
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(l.name));
    }
    auto *ok = new ThemedButton(QStringLiteral("LbButton1"), QStringLiteral("OK"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setDefault(true);
    layOut();
}

void AboutBox::layOut()
{
    findChild<SvgPicture *>(QStringLiteral("Image1"))->setGeometry(64, 12, 281, 65);
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, theme::kMain);
    for (const AboutLabel &l : kLabels) {
        auto *label = findChild<QLabel *>(QLatin1String(l.name));
        label->setText(QLatin1String(l.text));
        label->setFont(l.title ? theme::baseFont(10, true) : theme::baseFont());
        label->setPalette(blue);
        label->move(l.left, l.top);
        label->adjustSize();
    }
    findChild<QPushButton *>(QStringLiteral("LbButton1"))->setGeometry(168, 187, 81, 22);
}

void AboutBox::showEvent(QShowEvent *event)
{
    layOut();
    // The outer size includes the frame the window system adds.
    const QSize frame = frameGeometry().size() - geometry().size();
    setFixedSize(kOuterSize - frame);
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - QPoint(kOuterSize.width() / 2, kOuterSize.height() / 2));
    QDialog::showEvent(event);
}

} // namespace ui
