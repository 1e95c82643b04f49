#include "CompareDialog.h"

#include "app/TableCatalog.h"
#include "lang/LanguageTexts.h"
#include "ui/widgets/SmsTableEditor.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace ui {
namespace {

// The control that heads each place; a table row is shown in its grid.
// %1 is the place's index from 1.
constexpr const char *kPlaceControls[] = {
    "TntE_PIN",      // Phone
    nullptr,         // InputEvent: kInputEventBoxes
    "CB_DO%1_SMS",   // OutputSms
    "CB_DO%1_CALL",  // OutputCall
    "Grid_Pro_Week", // WeeklyProfile: the grid shows the profile of the index
    "Grid_Pro_Day%1",
};

// The enable boxes of the input events, in their table order.
constexpr const char *kInputEventBoxes[] = {"CB_DI1_F0T1", "CB_DI1_F1T0", "CB_DI2_F0T1",
                                            "CB_DI2_F1T0", "CB_AI1_High", "CB_AI1_Low"};

} // namespace

DifferenceControl differenceControl(const app::Difference &d)
{
    using Place = app::Difference::Place;
    if (d.table >= 0 && d.table < app::kTableCount)
        return {QLatin1String(tableNames(TableId(d.table)).grid)};
    if (d.place == Place::InputEvent)
        return {d.index >= 0 && d.index < int(std::size(kInputEventBoxes))
                    ? QLatin1String(kInputEventBoxes[d.index])
                    : QString()};
    QString name = QLatin1String(kPlaceControls[int(d.place)]);
    if (name.contains(QLatin1String("%1")))
        name = name.arg(d.index + 1);
    return {name, d.place == Place::WeeklyProfile ? d.index : -1};
}

CompareDialog::CompareDialog(const QList<app::Difference> &differences, const lang::LanguageTexts &texts,
                             QWidget *parent)
    : QDialog(parent), m_differences(differences)
{
    setObjectName(QStringLiteral("CompareDialog"));
    setWindowTitle(texts.messageText(u"Cmp_Dialog_Title"));
    auto *column = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("CompareList"));
    m_list->setWordWrap(true);
    m_list->setUniformItemSizes(false);
    for (const app::Difference &d : differences)
        m_list->addItem(d.text);
    if (differences.isEmpty()) {
        auto *equal = new QListWidgetItem(texts.messageText(u"Cmp_Equal"), m_list);
        equal->setFlags(Qt::ItemIsEnabled);
    } else {
        m_list->setCurrentRow(0);
    }
    column->addWidget(m_list, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    // itemActivated: a double-click, or Enter on the current line.
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        const int row = m_list->row(item);
        if (row < 0 || row >= m_differences.size())
            return;
        const app::Difference chosen = m_differences.at(row);
        accept();
        emit differenceChosen(chosen);
    });
    resize(640, 360);
}

} // namespace ui
