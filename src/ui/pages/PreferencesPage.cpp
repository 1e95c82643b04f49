#include "PreferencesPage.h"

#include "ui/widgets/PageParts.h"
#include "ui/widgets/SvgPicture.h"
#include "ui/widgets/Theme.h"

#include <QButtonGroup>
#include <QDesktopServices>
#include <QDir>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

namespace ui {
namespace {

struct LanguageChoice
{
    const char *radio;
    const char *flag;
    const char *resource;
    int code;
};

constexpr LanguageChoice kLanguages[] = {
    {"TntRB_Leng_English", "TntI_Lang_Eng", ":/flags/eng.svg", 1},
    {"TntRB_Leng_Italian", "TntI_Lang_Ita", ":/flags/ita.svg", 2},
    {"TntRB_Leng_German", "TntI_Lang_Ger", ":/flags/ger.svg", 3},
    {"TntRB_Leng_Spanish", "TntI_Lang_Spa", ":/flags/spa.svg", 4},
};

} // namespace

PreferencesPage::PreferencesPage(PageContext &context, QWidget *parent)
    : Page(PageId::Preferences, context, parent)
{
    QVBoxLayout *content = buildFrame(QStringLiteral("P_Soft_Pref"), QStringLiteral("TntL_Title_SoftPref"));
    content->addWidget(makeSubTitle(QStringLiteral("TntL_Leng_Sel"), this).bar);
    m_group = new QButtonGroup(this);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    int row = 0;
    for (const LanguageChoice &choice : kLanguages) {
        auto *flag =
            new SvgPicture(QLatin1String(choice.flag), QLatin1String(choice.resource), QSize(36, 24), this);
        auto *radio = new QRadioButton(builtinCaption(QLatin1String(choice.radio)), this);
        radio->setObjectName(QLatin1String(choice.radio));
        m_group->addButton(radio, choice.code);
        radio->setChecked(choice.code == 1); // the window's initial state: English selected
        radio->installEventFilter(this);
        connect(flag, &ClickLabel::clicked, radio, [radio] { radio->setChecked(true); });
        flag->setCursor(Qt::PointingHandCursor);
        setHintSource(flag, radio);
        connect(radio, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                m_context.chooseLanguage(m_group->checkedId());
        });
        grid->addWidget(flag, row, 0);
        grid->addWidget(radio, row, 1);
        ++row;
    }
    grid->setColumnStretch(2, 1);
    content->addLayout(grid);

    content->addSpacing(12);
    content->addWidget(makeSubTitle(QStringLiteral("TntL_Workspace"), this).bar);
    const QString folder = QDir::toNativeSeparators(m_context.session().workspace().folder());
    m_workspace = makeLabel(QStringLiteral("L_Workspace_Path"), folder, this);
    m_workspace->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_workspace->setWordWrap(true);
    content->addWidget(m_workspace);
    auto *open = new ThemedButton(QStringLiteral("TntBtn_Open_Workspace"),
                                  builtinCaption(u"TntBtn_Open_Workspace"), this);
    connect(open, &QPushButton::clicked, this, &PreferencesPage::openWorkspace);
    content->addWidget(open, 0, Qt::AlignLeft);
    content->addStretch(1);
}

bool PreferencesPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return Page::eventFilter(watched, event);
    auto *radio = qobject_cast<QAbstractButton *>(watched);
    const QList<QAbstractButton *> radios = m_group->buttons();
    const qsizetype at = radios.indexOf(radio);
    if (at < 0)
        return Page::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (key->key()) {
    // Qt's own arrow handling would choose each language passed over, and
    // every choice reloads the window's texts and rewrites the settings.
    case Qt::Key_Up:
    case Qt::Key_Left:
        if (at > 0)
            radios[at - 1]->setFocus(Qt::BacktabFocusReason);
        return true;
    case Qt::Key_Down:
    case Qt::Key_Right:
        if (at + 1 < radios.size())
            radios[at + 1]->setFocus(Qt::TabFocusReason);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!key->isAutoRepeat())
            radio->click();
        return true;
    default:
        return false;
    }
}

void PreferencesPage::openWorkspace()
{
    const QUrl url = QUrl::fromLocalFile(m_context.session().workspace().folder());
    if (m_openFolder)
        m_openFolder(url);
    else
        QDesktopServices::openUrl(url);
}

void PreferencesPage::pageShown()
{
    m_workspace->setText(QDir::toNativeSeparators(m_context.session().workspace().folder()));
    if (QAbstractButton *radio = m_group->button(m_context.session().languageCode())) {
        radio->setChecked(true); // reacts only when it was not selected
        return;
    }
    m_group->setExclusive(false);
    for (QAbstractButton *b : m_group->buttons()) {
        const QSignalBlocker block(b);
        b->setChecked(false);
    }
    m_group->setExclusive(true);
}

} // namespace ui
