// A configuration that the save-time checks accept always compiles: numbers
// are read the same way by both, whatever text the user typed.
#include "common/cli_run.h"
#include "config/ConfigurationChecks.h"
#include "config/ConfigurationFile.h"
#include "image/DeviceImageBuild.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Texts a user may type into a number field, valid and not.
const QStringList kNumbers = {"1",    "60000", "0",   "60001", "",     "+5",  "-0",
                              "007",  " 9",    "1.5", "7,5",   "10",   "0,0", "1e1",
                              "9.99", "10.0",  "2E0", ".5",    "5.",   "x",   "3",
                              "20",   "21",    "100", "1e400", "+0.5", "6,5", "4294967296"};
const QStringList kPhones = {"", "+39", "+12+34", "1 2", "0"};
const QStringList kProfiles = {"", "0", "9", "10", "+3", "a"};

QString pick(QRandomGenerator &r, const QStringList &from)
{
    return from[int(r.bounded(quint32(from.size())))];
}

config::Configuration randomConfiguration(QRandomGenerator &r)
{
    config::Configuration c;
    c.setNewDefaults();
    // A few fields of each configuration get a typed text, so that about half
    // of them pass every check.
    auto maybe = [&](QString &field, const QStringList &from) {
        if (r.bounded(30) == 0)
            field = pick(r, from);
    };
    maybe(c.pin, {"", "1234", "12345678", "+1", "0"});
    for (config::DigitalInput &d : c.digitalInputs) {
        for (config::InputEvent *e : {&d.f0t1, &d.f1t0}) {
            e->enSms = r.bounded(2);
            maybe(e->timeDelay, kNumbers);
            e->list.setRows({{"Alarm", r.bounded(8) ? QString() : pick(r, kPhones), "d"}});
        }
    }
    for (config::AnalogThreshold *a : {&c.analogInput.high, &c.analogInput.low}) {
        a->enSms = r.bounded(2);
        maybe(a->value, kNumbers);
        maybe(a->valueHys, kNumbers);
        maybe(a->timeDelay, kNumbers);
    }
    for (config::DigitalOutput &o : c.digitalOutputs) {
        o.sms.enable = r.bounded(2);
        o.sms.impulse = r.bounded(2);
        o.sms.checkPhoneNumber = r.bounded(2);
        maybe(o.sms.delayImpulse, kNumbers);
        o.sms.list.setRows({{QStringLiteral("+39"), r.bounded(8) ? QString() : pick(r, kProfiles), "x"}});
        o.call.enable = r.bounded(2);
        maybe(o.call.ringNumber, kNumbers);
        maybe(o.call.hangUpRing, kNumbers);
        for (config::CallAction *a : {&o.call.hangUp, &o.call.under, &o.call.above}) {
            a->enable = r.bounded(2);
            a->operation = config::Operation(r.bounded(3));
            maybe(a->delayTime, kNumbers);
        }
        o.call.list.setRows({{QStringLiteral("+39"), r.bounded(8) ? QString() : pick(r, kProfiles), "x"}});
    }
    return c;
}

} // namespace

class TestChecksAgreeWithBuild : public QObject
{
    Q_OBJECT

private slots:
    void everyAcceptedConfigurationBuilds()
    {
        QRandomGenerator random(20261210);
        QTemporaryDir dir;
        int accepted = 0;
        int refused = 0;
        for (int i = 0; i < 400; ++i) {
            const config::Configuration c = randomConfiguration(random);
            const QString folder = dir.filePath(QString::number(i));
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(config::writeConfigurationFile(c, folder + QStringLiteral("/Configuration.xml")).ok);
            if (config::firstFailure(c)) {
                ++refused;
                continue;
            }
            ++accepted;
            const image::BuildResult built = image::buildDeviceImage(folder);
            QVERIFY2(built.built(), qPrintable(QStringLiteral("%1: %2").arg(folder, built.error)));
        }
        // The sample holds both kinds in fair numbers.
        QVERIFY2(accepted >= 40 && refused >= 40,
                 qPrintable(QStringLiteral("%1 / %2").arg(accepted).arg(refused)));
    }

    void cliCheckAndBuildAgree()
    {
        QRandomGenerator random(7);
        QTemporaryDir dir;
        int accepted = 0;
        for (int i = 0; i < 12 || (accepted == 0 && i < 60); ++i) {
            const config::Configuration c = randomConfiguration(random);
            const QString folder = dir.filePath(QString::number(i));
            QDir().mkpath(folder);
            config::writeConfigurationFile(c, folder + QStringLiteral("/Configuration.xml"));
            const CliRun check = runCli({"check", folder});
            const CliRun build = runCli({"build", folder});
            if (config::firstFailure(c)) {
                QCOMPARE(check.exitCode, 1);
                QCOMPARE(build.exitCode, 1);
                QVERIFY(build.err.startsWith(check.out.trimmed()));
                QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/bin")));
            } else {
                ++accepted;
                QCOMPARE(check.out, QStringLiteral("OK\n"));
                QCOMPARE(check.exitCode, 0);
                QVERIFY2(build.exitCode == 0, qPrintable(build.err));
            }
        }
        QVERIFY(accepted > 0);
    }
};

QTEST_GUILESS_MAIN(TestChecksAgreeWithBuild)
#include "tst_checks_agree_with_build.moc"
