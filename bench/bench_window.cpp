// Start-up of the main window with a configuration loaded (its six input
// tables empty or holding 500 rows each), against the floor of a bare window
// holding the same number and kinds of widgets. Run with
// QT_QPA_PLATFORM=offscreen; run one benchmark per process under
// `/usr/bin/time -f %M` to compare peak memory.
#include "app/Settings.h"
#include "config/ConfigurationFile.h"
#include "ui/MainWindow.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/SlotGrid.h"
#include "ui/widgets/Theme.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <benchmark/benchmark.h>
#include <map>

namespace {

class SilentPresenter : public ui::MessagePresenter
{
public:
    ui::MessageAnswer show(QWidget *, ui::MessageKind, const QString &, ui::MessageButtons) override
    {
        return ui::MessageAnswer::Cancel;
    }
};

config::Configuration withInputRows(int rows)
{
    config::Configuration c;
    c.pin = QStringLiteral("1234");
    QList<config::TableRow> list;
    for (int i = 0; i < rows; ++i)
        list.append({QStringLiteral("Alarm message number %1").arg(i),
                     QStringLiteral("+39335%1").arg(i, 7, 10, QLatin1Char('0')),
                     QStringLiteral("Contact %1").arg(i)});
    for (config::DigitalInput &d : c.digitalInputs) {
        d.f0t1.list.setRows(list);
        d.f1t0.list.setRows(list);
    }
    c.analogInput.high.list.setRows(list);
    c.analogInput.low.list.setRows(list);
    return c;
}

// A program folder whose last configuration has that many rows in each input table.
QString programFolder(int rows)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    auto &dir = folders[rows];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(dir->filePath(QStringLiteral("Language")));
        const QDir source(QStringLiteral(TRENOV5X_SOURCE_DIR "/Language"));
        for (const QString &name : source.entryList({QStringLiteral("*.xml")}, QDir::Files))
            QFile::copy(source.filePath(name), dir->filePath(QStringLiteral("Language/") + name));
        QDir().mkpath(dir->filePath(QStringLiteral("Projects/Plant_A")));
        QDir().mkpath(dir->filePath(QStringLiteral("Setting")));
        config::writeConfigurationFile(withInputRows(rows),
                                       dir->filePath(QStringLiteral("Projects/Plant_A/Configuration.xml")));
        app::writeSettings(dir->filePath(QStringLiteral("Setting/setting.xml")),
                           {3, QStringLiteral("Plant_A"), {}});
    }
    return dir->path();
}

// A start with a configuration loaded: built, shown, painted.
void startWindow(benchmark::State &state, ui::MainWindow::Options::Pages pages)
{
    SilentPresenter boxes;
    const QString folder = programFolder(int(state.range(0)));
    int widgets = 0;
    for (auto _ : state) {
        ui::MainWindow w({folder, &boxes, {}, pages});
        w.show();
        QApplication::processEvents();
        widgets = w.findChildren<QWidget *>().size();
    }
    state.counters["widgets"] = widgets;
}

// What the user waits for: the first painted window, as the program starts
// it (each page built when first shown).
void BM_MainWindowStart(benchmark::State &state)
{
    startWindow(state, ui::MainWindow::Options::Pages::WhenFirstShown);
}
BENCHMARK(BM_MainWindowStart)->ArgName("rows")->Arg(0)->Arg(500)->Unit(benchmark::kMillisecond);

// The same start with every page built before the first paint: the whole
// cost of the window's controls, which the program spreads over the first
// showing of each page.
void BM_MainWindowStartAllPages(benchmark::State &state)
{
    startWindow(state, ui::MainWindow::Options::Pages::AllAtStart);
}
BENCHMARK(BM_MainWindowStartAllPages)->ArgName("rows")->Arg(0)->Arg(500)->Unit(benchmark::kMillisecond);

// Showing a page for the first time in a started window: what a click on
// its menu entry costs once (the Input page is the largest).
void BM_FirstShowOfPage(benchmark::State &state)
{
    SilentPresenter boxes;
    const QString folder = programFolder(int(state.range(0)));
    const auto id = ui::PageId(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<ui::MainWindow>(
            ui::MainWindow::Options{folder, &boxes, {}, ui::MainWindow::Options::Pages::WhenFirstShown});
        w->show();
        QApplication::processEvents();
        state.ResumeTiming();
        w->showPage(id);
        QApplication::processEvents();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstShowOfPage)
    ->ArgNames({"rows", "page"})
    ->Args({500, int(ui::PageId::Input)})
    ->Args({500, int(ui::PageId::Output)})
    ->Args({0, int(ui::PageId::DateTime)})
    ->Unit(benchmark::kMillisecond);

// The same window with a check box for every slot in place of the painted
// slot grids: `weeks` weeks of boxes on the weekly panel (one shared by the
// three weekly profiles, or one each), two rows of 24 on each daily panel.
void replaceGridsWithBoxes(ui::MainWindow &w, int weeks)
{
    for (ui::SlotGrid *grid : w.findChildren<ui::SlotGrid *>()) {
        auto *boxes = new QWidget(grid->parentWidget());
        auto *layout = new QGridLayout(boxes);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(2);
        const int rows = grid->dayCount() == config::kDaysPerWeek ? weeks * config::kDaysPerWeek * 2 : 2;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < ui::SlotGrid::kSlotsPerRow; ++c) {
                auto *box = new QCheckBox(boxes);
                box->setObjectName(QStringLiteral("CB_Pro_%1_%2").arg(r).arg(c));
                layout->addWidget(box, r, c);
            }
        }
        grid->parentWidget()->layout()->replaceWidget(grid, boxes);
        grid->hide();
    }
}

// Start-up with the painted grids (boxes 0) against the same window with 480
// slot boxes (one week shared by the weekly profiles and three days) or 1,152
// (a week for each weekly profile): each built, the language applied over
// all of its controls, shown; with "profile" 1 the profile half is then
// opened and drawn as well.
void BM_MainWindowSlotBoxes(benchmark::State &state)
{
    SilentPresenter boxes;
    const QString folder = programFolder(0);
    const int weeks = state.range(0) == 0 ? 0 : state.range(0) < 1000 ? 1 : config::kWeeklyProfiles;
    int widgets = 0;
    for (auto _ : state) {
        ui::MainWindow w({folder, &boxes});
        if (weeks > 0)
            replaceGridsWithBoxes(w, weeks);
        w.applyLanguage(w.session().languageCode());
        w.show();
        QApplication::processEvents();
        if (state.range(1)) {
            emit w.findChild<ui::ClickLabel *>(QStringLiteral("TntL_Date_Menu"))->clicked();
            emit w.findChild<ui::ClickPanel *>(QStringLiteral("P_SubT_Go_Profile"))->clicked();
            benchmark::DoNotOptimize(w.grab());
        }
        widgets = w.findChildren<QWidget *>().size();
    }
    state.counters["widgets"] = widgets;
}
BENCHMARK(BM_MainWindowSlotBoxes)
    ->ArgNames({"boxes", "profile"})
    ->ArgsProduct({{0, 480, 1152}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The part of the start that reads Configuration.xml, for comparison.
void BM_LoadConfiguration(benchmark::State &state)
{
    const QString file =
        programFolder(int(state.range(0))) + QStringLiteral("/Projects/Plant_A/Configuration.xml");
    for (auto _ : state) {
        config::Configuration c;
        benchmark::DoNotOptimize(config::loadConfigurationFile(file, c));
    }
}
BENCHMARK(BM_LoadConfiguration)->ArgName("rows")->Arg(0)->Arg(500)->Unit(benchmark::kMillisecond);

// The controls of the main window by kind; the parts inside a view, a combo
// box or an edit come with them and are not counted.
enum Kind { Label, Edit, Check, Radio, Button, Table, Combo, List, Panel, Kinds };

std::array<int, Kinds> countControls()
{
    SilentPresenter boxes;
    // The full window: every page built.
    ui::MainWindow w({programFolder(0), &boxes, {}, ui::MainWindow::Options::Pages::AllAtStart});
    std::array<int, Kinds> counts{};
    for (QWidget *widget : w.findChildren<QWidget *>()) {
        if (widget->window() != &w)
            continue;
        bool inside = false;
        for (QWidget *p = widget->parentWidget(); p && p != &w; p = p->parentWidget())
            // The window's own scroll area around all of its content does not count.
            inside = inside || (qobject_cast<QAbstractScrollArea *>(p) && p != w.centralWidget()) ||
                     qobject_cast<QComboBox *>(p) || qobject_cast<QLineEdit *>(p);
        if (inside)
            continue;
        if (qobject_cast<QTableView *>(widget))
            ++counts[Table];
        else if (qobject_cast<QListWidget *>(widget))
            ++counts[List];
        else if (qobject_cast<QComboBox *>(widget))
            ++counts[Combo];
        else if (qobject_cast<QLineEdit *>(widget))
            ++counts[Edit];
        else if (qobject_cast<QCheckBox *>(widget))
            ++counts[Check];
        else if (qobject_cast<QRadioButton *>(widget))
            ++counts[Radio];
        else if (qobject_cast<QPushButton *>(widget))
            ++counts[Button];
        else if (qobject_cast<QLabel *>(widget))
            ++counts[Label];
        else if (!qobject_cast<QAbstractScrollArea *>(widget))
            ++counts[Panel];
    }
    return counts;
}

// The floor: a bare window with as many controls of each kind as the main window.
void BM_BareWindowFloor(benchmark::State &state)
{
    static const std::array<int, Kinds> counts = countControls();
    int widgets = 0;
    for (auto _ : state) {
        QMainWindow w;
        auto *central = new QWidget(&w);
        auto *layout = new QVBoxLayout(central);
        auto add = [&](Kind kind, auto make) {
            for (int i = 0; i < counts[kind]; ++i)
                layout->addWidget(make());
        };
        add(Label, [&] { return new QLabel(QStringLiteral("label"), central); });
        add(Edit, [&] { return new QLineEdit(central); });
        add(Check, [&] { return new QCheckBox(QStringLiteral("box"), central); });
        add(Radio, [&] { return new QRadioButton(QStringLiteral("radio"), central); });
        add(Button, [&] { return new QPushButton(QStringLiteral("button"), central); });
        add(Combo, [&] { return new QComboBox(central); });
        add(List, [&] { return new QListWidget(central); });
        add(Panel, [&] { return new QWidget(central); });
        add(Table, [&] {
            auto *view = new QTableView(central);
            view->setModel(new QStandardItemModel(1, 3, view));
            return view;
        });
        w.setCentralWidget(central);
        w.show();
        QApplication::processEvents();
        widgets = w.findChildren<QWidget *>().size();
    }
    state.counters["widgets"] = widgets;
}
BENCHMARK(BM_BareWindowFloor)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
