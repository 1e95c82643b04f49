// Start-up of the main window with a configuration loaded, against the floor
// of a bare window holding the same number and kinds of widgets. Run with
// QT_QPA_PLATFORM=offscreen; run one benchmark per process under
// `/usr/bin/time -f %M` to compare peak memory.
#include "app/Settings.h"
#include "config/ConfigurationFile.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <benchmark/benchmark.h>

namespace {

class SilentPresenter : public ui::MessagePresenter
{
public:
    ui::MessageAnswer show(QWidget *, ui::MessageKind, const QString &, ui::MessageButtons) override
    {
        return ui::MessageAnswer::Cancel;
    }
};

QString programFolder()
{
    static QTemporaryDir dir;
    static bool ready = false;
    if (!ready) {
        QDir().mkpath(dir.filePath(QStringLiteral("Language")));
        const QDir source(QStringLiteral(TRENOV5X_SOURCE_DIR "/Language"));
        for (const QString &name : source.entryList({QStringLiteral("*.xml")}, QDir::Files))
            QFile::copy(source.filePath(name), dir.filePath(QStringLiteral("Language/") + name));
        QDir().mkpath(dir.filePath(QStringLiteral("Projects/Plant_A")));
        QDir().mkpath(dir.filePath(QStringLiteral("Setting")));
        config::Configuration c;
        c.pin = QStringLiteral("1234");
        config::writeConfigurationFile(c, dir.filePath(QStringLiteral("Projects/Plant_A/Configuration.xml")));
        writeSettings(dir.filePath(QStringLiteral("Setting/setting.xml")), {3, QStringLiteral("Plant_A")});
        ready = true;
    }
    return dir.path();
}

void BM_MainWindowStart(benchmark::State &state)
{
    SilentPresenter boxes;
    int widgets = 0;
    for (auto _ : state) {
        ui::MainWindow w({programFolder(), &boxes});
        w.show();
        QApplication::processEvents();
        widgets = w.findChildren<QWidget *>().size();
    }
    state.counters["widgets"] = widgets;
}
BENCHMARK(BM_MainWindowStart)->Unit(benchmark::kMillisecond);

// The floor: a bare window with about as many widgets as the main window
// (164 with a configuration loaded).
void BM_BareWindowFloor(benchmark::State &state)
{
    for (auto _ : state) {
        QMainWindow w;
        auto *central = new QWidget(&w);
        auto *layout = new QVBoxLayout(central);
        for (int i = 0; i < 134; ++i)
            layout->addWidget(new QLabel(QStringLiteral("label"), central));
        for (int i = 0; i < 15; ++i)
            layout->addWidget(new QLineEdit(central));
        for (int i = 0; i < 15; ++i)
            layout->addWidget(new QCheckBox(QStringLiteral("box"), central));
        w.setCentralWidget(central);
        w.show();
        QApplication::processEvents();
    }
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
