// The binding helper on a small form: each control writes its own field
// through the one funnel, a refresh shows the record without marking it
// changed, and enabling rules follow every edit and every refresh.
#include "helper_window.h"
#include "lang/LanguageTexts.h"
#include "link/DeviceLink.h"
#include "ui/Binder.h"
#include "ui/PageContext.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

class TestBinder : public QObject
{
    Q_OBJECT

    // A form for one CALL action of output 1: its check box, the operation
    // radios and the pulse duration, which is enabled while the box is on.
    struct Form
    {
        Form()
            : session(folder.path()), context(session, link, texts, boxes, nullptr), binder(context),
              group(new QButtonGroup(&widget))
        {
            auto *column = new QVBoxLayout(&widget);
            column->addWidget(box);
            for (int id = 0; id < 3; ++id) {
                radios[id] = new QRadioButton(&widget);
                group->addButton(radios[id], id);
                column->addWidget(radios[id]);
            }
            column->addWidget(delay);
            config::CallAction &action = session.configuration().digitalOutputs[0].call.under;
            binder.flag(box, action.enable);
            binder.operation(group, action.operation);
            binder.text(delay, action.delayTime);
            binder.enableWhen({delay}, [&action] { return action.enable; });
            // The changed state is the undo history's, as in the window.
            auto *undo = new ui::UndoController(session, &widget, {});
            undo->reset();
            context.setUndo(undo);
            widget.show();
        }
        config::CallAction &action() { return session.configuration().digitalOutputs[0].call.under; }

        ProgramFolder folder;
        app::Session session;
        devlink::DeviceLink link;
        lang::LanguageTexts texts;
        RecordingPresenter boxes;
        ui::PageContext context;
        ui::Binder binder;
        QWidget widget;
        QCheckBox *box = new QCheckBox(&widget);
        QLineEdit *delay = new QLineEdit(&widget);
        QButtonGroup *group;
        QRadioButton *radios[3]{};
    };

private slots:
    void refreshShowsTheRecordWithoutMarkingItChanged()
    {
        Form f;
        QSignalSpy edits(&f.context, &ui::PageContext::configurationEdited);
        f.action() = {true, config::Operation::Impulse, QStringLiteral("750")};
        f.binder.refresh();
        QVERIFY(f.box->isChecked());
        QVERIFY(f.radios[2]->isChecked() && !f.radios[0]->isChecked() && !f.radios[1]->isChecked());
        QCOMPARE(f.delay->text(), QStringLiteral("750"));
        QVERIFY(f.delay->isEnabled());
        QVERIFY(!f.context.isChanged());
        QCOMPARE(edits.count(), 0);

        f.action() = {false, config::Operation::Reset, QStringLiteral("750")};
        f.binder.refresh();
        QVERIFY(f.radios[1]->isChecked() && !f.radios[2]->isChecked());
        QVERIFY(!f.delay->isEnabled());
        QCOMPARE(f.delay->text(), QStringLiteral("750")); // disabled, contents kept
        QVERIFY(!f.context.isChanged());
        QCOMPARE(edits.count(), 0);
    }

    void userEditsWriteTheFieldThroughTheFunnelAndReapplyTheRules()
    {
        Form f;
        f.binder.refresh();
        QVERIFY(!f.delay->isEnabled());
        QSignalSpy edits(&f.context, &ui::PageContext::configurationEdited);

        QTest::mouseClick(f.box, Qt::LeftButton, {}, QPoint(5, f.box->height() / 2));
        QVERIFY(f.action().enable);
        QVERIFY(f.delay->isEnabled());
        QVERIFY(f.context.isChanged());
        QCOMPARE(edits.count(), 1);

        QTest::mouseClick(f.radios[2], Qt::LeftButton, {}, QPoint(5, f.radios[2]->height() / 2));
        QCOMPARE(f.action().operation, config::Operation::Impulse);
        QCOMPARE(edits.count(), 2); // the radio turned off is not a second edit

        f.delay->selectAll();
        QTest::keyClicks(f.delay, QStringLiteral("12"));
        QCOMPARE(f.action().delayTime, QStringLiteral("12"));
        QCOMPARE(edits.count(), 4);

        QTest::mouseClick(f.box, Qt::LeftButton, {}, QPoint(5, f.box->height() / 2));
        QVERIFY(!f.delay->isEnabled());
        QCOMPARE(f.action().delayTime, QStringLiteral("12"));
    }
};

QTEST_MAIN(TestBinder)
#include "tst_binder.moc"
