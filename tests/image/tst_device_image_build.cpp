// Building bank.bin from a configuration folder on disk: golden images, the
// folder without Configuration.xml, and failures that must leave an existing
// image untouched.
#include "config/FileAccess.h"
#include "helper_config_xml.h"
#include "helper_image.h"
#include "image/DeviceImageBuild.h"
#include "image/ImageBuilder.h"
#include "image/ImageWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace image;

class TestDeviceImageBuild : public QObject
{
    Q_OBJECT

private slots:
    void buildsGoldenImages_data();
    void buildsGoldenImages();
    void folderWithoutConfigurationBuildsNothing();
    void failedBuildLeavesEverythingAsItWas_data();
    void failedBuildLeavesEverythingAsItWas();
    void parseErrorNamesFileLineAndColumn();
    void smallerImageReplacesLargerOne();
    void unwritableImageReportsSystemText();
    void buildsIntoAnyOutputPath();
    void readsWindows1252File();
    void checkedBuildReadsTheFileOnce_data();
    void checkedBuildReadsTheFileOnce();
};

void TestDeviceImageBuild::buildsGoldenImages_data()
{
    QTest::addColumn<QString>("configuration"); // empty: a new configuration
    QTest::addColumn<QString>("golden");
    QTest::newRow("new configuration") << QString() << "empty.bin";
    QTest::newRow("rich configuration, indented, with declaration") << "rich/Configuration.xml"
                                                                    << "rich.bin";
}

void TestDeviceImageBuild::buildsGoldenImages()
{
    QFETCH(QString, configuration);
    QFETCH(QString, golden);
    QTemporaryDir dir;
    if (configuration.isEmpty())
        ConfigXml().writeTo(dir.path());
    else
        QVERIFY(QFile::copy(testimage::goldenPath(configuration), dir.filePath("Configuration.xml")));
    const BuildResult result = buildDeviceImage(dir.path());
    QVERIFY2(result.built(), qPrintable(result.error));
    QCOMPARE(result.imagePath, dir.filePath("bin/bank.bin"));
    const QByteArray expected = testimage::golden(golden);
    QCOMPARE(result.imageSize, expected.size());
    QCOMPARE(readFileBytes(result.imagePath), expected);
    QCOMPARE(QDir(dir.filePath("bin")).entryList(QDir::Files), QStringList{"bank.bin"}); // no temporary left
}

void TestDeviceImageBuild::folderWithoutConfigurationBuildsNothing()
{
    QTemporaryDir dir;
    const BuildResult result = buildDeviceImage(dir.path());
    QCOMPARE(result.status, BuildStatus::NoConfiguration);
    QVERIFY(result.error.isEmpty());
    QVERIFY(!QFileInfo::exists(dir.filePath("bin")));
}

void TestDeviceImageBuild::failedBuildLeavesEverythingAsItWas_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("error");
    const QString delay =
        QStringLiteral(" (Configuration/Input/Digital/Digital_Input_1/Time_Delay_F0T1, line 1)");
    QTest::newRow("70000") << QStringList{"DI1/En_SMS_F0T1=1", "DI1/Time_Delay_F0T1=70000"}
                           << "Range check error" + delay;
    QTest::newRow("1.5") << QStringList{"DI1/En_SMS_F0T1=1", "DI1/Time_Delay_F0T1=1.5"}
                         << "'1.5' is not a valid integer value" + delay;
    QTest::newRow("-1 as a CALL impulse")
        << QStringList{"DO1.CALL/Enable_from_CALL=1", "+DO1.CALL/List_SMS=1|0",
                       "DO1.CALL/Enable_Hang_Up_from_CALL=1", "DO1.CALL/Operation_Hang_Up_from_CALL=2",
                       "DO1.CALL/Delay_Time_Imp_Hang_from_CALL=-1"}
        << "Range check error "
           "(Configuration/Output/Digital/Digital_Output_1/CALL/Delay_Time_Imp_Hang_from_CALL, "
           "line 1)";
    QTest::newRow("bad volt text") << QStringList{"AI/En_SMS_High=1", "AI/Value_High=seven"}
                                   << "'seven' is not a valid floating point value "
                                      "(Configuration/Input/Analog/Analog_Input_1/Value_High, line 1)";
    QTest::newRow("missing element") << QStringList{"-Output"} << "Element 'Configuration/Output' is missing";
    QStringList overCapacity = {"DO1.CALL/Enable_from_CALL=1"};
    for (int i = 0; i < 3082; ++i) // 32 bytes of record and 17 of number each
        overCapacity.append(QStringLiteral("+DO1.CALL/List_SMS=%1|0").arg(i));
    QTest::newRow("image over capacity") << overCapacity << "Range check error";
}

void TestDeviceImageBuild::failedBuildLeavesEverythingAsItWas()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, error);
    QTemporaryDir fresh;
    ConfigXml().apply(edits).writeTo(fresh.path());
    BuildResult result = buildDeviceImage(fresh.path());
    QCOMPARE(result.status, BuildStatus::Failed);
    QCOMPARE(result.error, error);
    QVERIFY(!QFileInfo::exists(fresh.filePath("bin")));

    QTemporaryDir built;
    QVERIFY(QDir().mkpath(built.filePath("bin")));
    const QByteArray earlier("an earlier image");
    QFile old(built.filePath("bin/bank.bin"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(earlier);
    old.close();
    ConfigXml().apply(edits).writeTo(built.path());
    result = buildDeviceImage(built.path());
    QCOMPARE(result.error, error);
    QCOMPARE(readFileBytes(built.filePath("bin/bank.bin")), earlier);
    QCOMPARE(QDir(built.filePath("bin")).entryList(QDir::Files), QStringList{"bank.bin"});
}

void TestDeviceImageBuild::parseErrorNamesFileLineAndColumn()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("Configuration.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<Configuration>\n  <Phone_Setting>\n  </Phone>\n</Configuration>\n");
    file.close();
    const BuildResult result = buildDeviceImage(dir.path());
    QCOMPARE(result.status, BuildStatus::Failed);
    QVERIFY2(result.error.startsWith(QDir::toNativeSeparators(file.fileName()) + ":3:"),
             qPrintable(result.error));
    QVERIFY(!QFileInfo::exists(dir.filePath("bin")));
}

void TestDeviceImageBuild::smallerImageReplacesLargerOne()
{
    QTemporaryDir dir;
    QVERIFY(QFile::copy(testimage::goldenPath("rich/Configuration.xml"), dir.filePath("Configuration.xml")));
    QVERIFY(buildDeviceImage(dir.path()).built());
    QCOMPARE(readFileBytes(dir.filePath("bin/bank.bin")).size(), testimage::golden("rich.bin").size());
    QFile::remove(dir.filePath("Configuration.xml"));
    ConfigXml().writeTo(dir.path());
    QVERIFY(buildDeviceImage(dir.path()).built());
    QCOMPARE(readFileBytes(dir.filePath("bin/bank.bin")), testimage::golden("empty.bin"));
}

// The update flow must never hand a stale image to the updater, so a write
// that fails is an error with the system's reason.
void TestDeviceImageBuild::unwritableImageReportsSystemText()
{
    QTemporaryDir dir;
    ConfigXml().writeTo(dir.path());
    QFile blocker(dir.filePath("bin")); // a file where the folder should be
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const BuildResult result = buildDeviceImage(dir.path());
    QCOMPARE(result.status, BuildStatus::Failed);
    const QString prefix =
        QStringLiteral("Cannot write %1: ").arg(QDir::toNativeSeparators(dir.filePath("bin/bank.bin")));
    QVERIFY2(result.error.startsWith(prefix), qPrintable(result.error));
    QVERIFY2(result.error.size() > prefix.size(), "the system's reason is missing");
    // The folder that could not be made is named, not a missing file.
    QVERIFY2(result.error.contains(QStringLiteral("the folder %1 cannot be created: ")
                                       .arg(QDir::toNativeSeparators(dir.filePath("bin")))),
             qPrintable(result.error));
}

void TestDeviceImageBuild::buildsIntoAnyOutputPath()
{
    QTemporaryDir dir;
    const QString configuration = ConfigXml().writeTo(dir.filePath("project"));
    const QString output = dir.filePath("out/deeper/image.bin");
    const BuildResult result = buildImageFile(configuration, output);
    QVERIFY2(result.built(), qPrintable(result.error));
    QCOMPARE(readFileBytes(output), testimage::golden("empty.bin"));
    QVERIFY(!QFileInfo::exists(dir.filePath("project/bin")));
    QCOMPARE(buildImageFile(dir.filePath("nothing.xml"), output).status, BuildStatus::NoConfiguration);
}

void TestDeviceImageBuild::readsWindows1252File()
{
    QTemporaryDir dir;
    QByteArray xml = ConfigXml().apply({"PS/PIN=PINMARK"}).toXml();
    xml.replace("PINMARK", "12\x80\xe9");
    xml.prepend("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n");
    QFile file(dir.filePath("Configuration.xml"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(xml);
    file.close();
    const BuildResult result = buildDeviceImage(dir.path());
    QVERIFY2(result.built(), qPrintable(result.error));
    QCOMPARE(readFileBytes(result.imagePath).mid(1316, 5), QByteArray("12\x80\xe9\0", 5));
}

void TestDeviceImageBuild::checkedBuildReadsTheFileOnce_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<bool>("check");
    QTest::addColumn<bool>("refused");
    QTest::newRow("accepted, checked and built")
        << QStringList{"+DI1/List_SMS_F0T1=Alarm|+3912345"} << true << false;
    QTest::newRow("refused by the checks, nothing built") << QStringList{"PS/PIN=12a4"} << true << true;
    QTest::newRow("built without the checks") << QStringList{"PS/PIN=12a4"} << false << false;
}

void TestDeviceImageBuild::checkedBuildReadsTheFileOnce()
{
    QFETCH(QStringList, edits);
    QFETCH(bool, check);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    const ConfigXml xml = ConfigXml().apply(edits);
    const QString configuration = xml.writeTo(dir.path());
    const QString imagePath = imagePathFor(dir.path());
    config::FileCheck checked;
    const qint64 readsBefore = config::fileaccess::readCount();
    const BuildResult result = check ? checkAndBuildImageFile(configuration, imagePath, checked)
                                     : buildImageFile(configuration, imagePath);
    QCOMPARE(config::fileaccess::readCount() - readsBefore, 1);
    QCOMPARE(checked.status == config::FileCheck::Status::Refused, refused);
    QCOMPARE(result.built(), !refused);
    QCOMPARE(QFileInfo::exists(imagePath), !refused);
    if (!refused) {
        const CompileResult compiled = compileConfiguration(*xml.parsed().root);
        QVERIFY2(compiled.ok(), qPrintable(compiled.error));
        QCOMPARE(readFileBytes(imagePath), writeImage(compiled.model).bytes);
    }
}

QTEST_GUILESS_MAIN(TestDeviceImageBuild)
#include "tst_device_image_build.moc"
