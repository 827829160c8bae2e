// The simulation study walked from the main window's Help menu, as a user would, headless.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "app/modulestate.h"
#include "app/studies.h"
#include "modaldriver.h"
#include "shell/mainfrm.h"
#include "studywindows.h"

using namespace davrenta;
using davrenta::testing::Hidden;
using davrenta::testing::ModalDriver;
using davrenta::testing::PrintCapture;

namespace {

// Help menu -> description -> options window.
void Enter(ModalDriver& d) {
    d.expectWindow("mhsdescfrm")
        .expectCaption("Material Handling Simulation")
        .click("okbut")
        .expectWindow("mhsinput1frm");
}

// An option, then "New Problem From Keyboard": the parameter window opens empty.
ModalDriver& Keyboard(ModalDriver& d, const char* option) {
    return d.click(option).expectWindow("sourcefrm").click("Keybut").expectWindow("mhsinput2frm");
}

// From the parameter window back to the options window, and from there to the main window.
ModalDriver& BackToMain(ModalDriver& d) {
    return d.click("backbut").expectWindow("mhsinput1frm").click("input5but").expectNoWindow();
}

void Load(ModalDriver& d, const char* option, const QString& name) {
    d.click(option).expectWindow("sourcefrm").click("diskbut").expectWindow("filefrm");
    d.click("examplesbut").setText("Text1", name).click("okbut");
}

// A results box shows a value with two decimals.
ModalDriver& ExpectTwoDecimals(ModalDriver& d, const QString& box) {
    return d.check(box + " shows 0.00", [box](QWidget* w, QString* why) {
        auto* edit = w->findChild<QLineEdit*>(box);
        *why = edit ? edit->text() : QStringLiteral("no box");
        return edit && QRegularExpression(QStringLiteral("^[0-9]+\\.[0-9]{2}$"))
                           .match(edit->text())
                           .hasMatch();
    });
}

} // namespace

class MhSimFlow : public QObject {
    Q_OBJECT

  private:
    davrenta::testing::StudyWindows study{[](mainfrm& m) { m.helpmnu_Click(4); }};
    ModuleState& state = study.state;
    std::unique_ptr<mainfrm>& main = study.main;
    QTemporaryDir& dir = study.dir;

    bool walk(ModalDriver& d) { return study.walk(d); }

  private slots:
    void init() { study.open(); }
    void cleanup() { study.close(); }

    void helpEntryIsEnabled() { QVERIFY(main->helpmnu[4]->isEnabled()); }

    void keyboardOption1PrintedSavedChangedAndLeft() {
        PrintCapture prints;
        ModalDriver d(main.get());
        Enter(d);
        Keyboard(d, "input1but")
            .expectCaption("Multi-servers")
            .expectText("daystxt", "")
            .expectText("svcalbl", "Parameter a")
            .expectText("svcblbl", "Parameter b")
            .check(
                "queue limit hidden",
                [](QWidget* w, QString*) { return Hidden(w, "wspacetxt") && Hidden(w, "Label8"); })
            .click("okbut")
            .expectMessage("Length of simulation cycle (hours per day) must be a number above 0.")
            .setText("daystxt", "50")
            .setText("lsimtxt", "8")
            .setText("afreqtxt", "2.5")
            .setText("nservtxt", "3")
            .click("okbut")
            .expectMessage("Select a Service Time Distribution in the list before simulating.")
            .select("distlst", "Uniform")
            .expectText("svcalbl", "Minimum value")
            .setText("svcatxt", "1")
            .setText("svcbtxt", "0.99")
            .click("okbut")
            .expectMessage("Uniform distribution\nparameter b must be larger than parameter a")
            .select("distlst", "Expo")
            .expectText("svcatxt", "")
            .check("b hidden for Expo", [](QWidget* w, QString*) { return Hidden(w, "svcbtxt"); })
            .setText("svcatxt", "1")
            .setText("seedtxt", "42")
            .click("okbut")
            .expectWindow("mhsresult1frm")
            .expectCaption("Results For Multi-Servers Option")
            .expectText("sflagtxt", "Exponential")
            .expectText("daystxt", "50")
            .expectText("seedtxt", "42")
            .check("max line shown, overtime absent", [](QWidget* w, QString*) {
                return !Hidden(w, "maxlinetxt") && !w->findChild<QWidget*>("overtimemeantxt") &&
                       Hidden(w, "wspacetxt");
            });
        ExpectTwoDecimals(d, "numservmeantxt");
        ExpectTwoDecimals(d, "waitstdtxt");
        ExpectTwoDecimals(d, "propbusyhalftxt");
        d.click("prntbut")
            .click("savebut")
            .expectWindow("filefrm")
            .setText("Text1", "dock")
            .click("okbut")
            .expectWindow("mhsresult1frm")
            .click("chgbut")
            .expectWindow("mhsinput2frm")
            .expectText("daystxt", "50");
        BackToMain(d);
        QVERIFY(walk(d));
        QCOMPARE(prints.reports.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(RenderText(prints.reports[0])[1]),
                 QStringLiteral("         SIMULATION RESULTS FOR MULTI-SERVERS OPTION"));
        QFile saved(dir.filePath("dock.mhs"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("50,8,0,2.5,2,1,0,3\r\n"));
    }

    void diskOption4ClosesTheOptionsWindowAndNewReturnsToTheMainWindow() {
        ModalDriver d(main.get());
        Enter(d);
        Load(d, "input4but", "repair-bay.mhs");
        d.expectWindow("mhsinput2frm")
            .expectCaption("Multi-servers + Lock door + Limited queue size")
            .check("options window closed itself",
                   [](QWidget*, QString* why) {
                       *why = ModalDriver::describeOpenWindows();
                       return !why->contains(QStringLiteral("mhsinput1frm"));
                   })
            .expectText("wspacetxt", "3")
            .expectText("svcalbl", "m")
            .expectText("svcblbl", "Theta")
            .expectText("lsimtxt", "10")
            .expectText("svcatxt", "1.5")
            .setText("seedtxt", "7")
            .click("okbut")
            .expectWindow("mhsresult4frm")
            .expectCaption("Results For Multi-Servers + Lock Door + Limited Queue Size Option")
            .expectText("wspacetxt", "3")
            .expectText("sflagtxt", "Weibull")
            .check("overtime and turn-aways shown",
                   [](QWidget* w, QString*) {
                       return !Hidden(w, "overtimemeantxt") && !Hidden(w, "turnawaystdtxt") &&
                              Hidden(w, "maxlinetxt");
                   })
            .click("okbut")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.mhs.Seed, std::uint64_t(7));
    }

    void diskOption3ChangedAndRunAgainThenNew() {
        ModalDriver d(main.get());
        Enter(d);
        Load(d, "input3but", "tool-crib.mhs");
        d.expectWindow("mhsinput2frm")
            .expectCaption("Multi-servers + Limited queue size")
            .expectText("wspacetxt", "4")
            .expectText("svcblbl", "Maximum value")
            .click("okbut")
            .expectWindow("mhsresult3frm")
            .expectText("daystxt", "200")
            .click("chgbut")
            .expectWindow("mhsinput2frm")
            .setText("daystxt", "30")
            .click("okbut")
            .expectWindow("mhsresult3frm")
            .expectText("daystxt", "30")
            .check("turn-aways shown",
                   [](QWidget* w, QString*) {
                       return !Hidden(w, "turnawaymeantxt") && Hidden(w, "maxlinetxt");
                   })
            .click("okbut")
            .expectWindow("mhsinput1frm")
            .click("input5but")
            .expectNoWindow();
        QVERIFY(walk(d));
    }

    void keyboardOption2PoissonHidesItsSecondParameter() {
        ModalDriver d(main.get());
        Enter(d);
        Keyboard(d, "input2but")
            .expectCaption("Multi-servers + Lock door")
            .setText("daystxt", "20")
            .setText("lsimtxt", "8")
            .setText("afreqtxt", "0.5")
            .setText("nservtxt", "2")
            .select("distlst", "Poisson")
            .expectText("svcalbl", "Lamda")
            .setText("svcatxt", "1")
            .click("okbut")
            .expectWindow("mhsresult2frm")
            .expectText("sflagtxt", "Poisson")
            .expectText("svcatxt", "1")
            .check("b hidden",
                   [](QWidget* w, QString*) {
                       return Hidden(w, "svcbtxt") && Hidden(w, "svcblbl") &&
                              !Hidden(w, "overtimemeantxt") && !Hidden(w, "maxlinetxt");
                   })
            .click("okbut")
            .expectWindow("mhsinput1frm")
            .click("input5but")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.mhs.ServiceParamB, 1.0);
    }

    void unreadableFileKeepsTheOptionsWindow() {
        QFile bad(dir.filePath("bad.mhs"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("10,8,0,two,2,1,1,2\r\n");
        bad.close();
        ModalDriver d(main.get());
        Enter(d);
        d.click("input1but")
            .expectWindow("sourcefrm")
            .click("diskbut")
            .expectWindow("filefrm")
            .setText("Text1", "bad.mhs")
            .click("okbut")
            .expectWindow("mhsinput1frm")
            .expectMessage("The file " + dir.filePath("bad.mhs") +
                           " cannot be read: line 1, problem record: the demand rate (value 4) "
                           "\"two\" is not a number. The current problem is unchanged.")
            .click("input5but")
            .expectNoWindow();
        QVERIFY(walk(d));
        QCOMPARE(state.mhs.DemandRate, 0.0);
    }

    void cancelledRunShowsNoResults() {
        ModalDriver d(main.get());
        Enter(d);
        Keyboard(d, "input1but")
            .setText("daystxt", "1000000000")
            .setText("lsimtxt", "8")
            .setText("afreqtxt", "2.5")
            .setText("nservtxt", "3")
            .select("distlst", "Expo")
            .setText("svcatxt", "1")
            .click("okbut")
            .expectMessage("The run would take about 42000000000 events (1000000000 cycles of "
                           "about 42): more than the 10000000000 a run may take. Use fewer "
                           "cycles, a shorter cycle or a lower demand rate.")
            .expectText("daystxt", "1000000000")
            // Two cycles of seconds each: 100000 demands, each served by an Erlang draw of
            // 10000 uniforms. Cancel stops the cycle under way.
            .setText("daystxt", "2")
            .setText("lsimtxt", "1")
            .setText("afreqtxt", "100000")
            .setText("nservtxt", "98")
            .select("distlst", "Erlang")
            .setText("svcatxt", "0.0005")
            .setText("svcbtxt", "10000")
            .click("okbut")
            .waitUntil("the run goes on",
                       [](QWidget* w) {
                           auto* cancel = w->findChild<QPushButton*>("cancelbut");
                           return cancel && cancel->isVisible();
                       })
            .check("Simulate disabled while running",
                   [](QWidget* w, QString*) {
                       return !w->findChild<QPushButton*>("okbut")->isEnabled();
                   })
            .click("cancelbut")
            .waitUntil("the run stopped",
                       [](QWidget* w) { return w->findChild<QPushButton*>("okbut")->isEnabled(); })
            .expectWindow("mhsinput2frm")
            .expectText("statuslbl", "The run was cancelled; no results are shown.");
        BackToMain(d);
        QVERIFY(walk(d));
        QCOMPARE(state.mhs.Seed, std::uint64_t(0));
        QCOMPARE(state.mhs.NumServMean, 0.0);
    }

    // Overtimes of 0 and about 3e307 hours: their 95% half-width is beyond every double. The
    // message names the measure and the window stays with the entries as typed.
    void resultsBeyondTheLargestNumberShowAMessage() {
        ModalDriver d(main.get());
        Enter(d);
        Keyboard(d, "input2but")
            .setText("daystxt", "2")
            .setText("lsimtxt", "8")
            .setText("afreqtxt", "0.1")
            .setText("nservtxt", "98")
            .select("distlst", "Normal")
            .setText("svcatxt", "3e307")
            .setText("svcbtxt", "0")
            .setText("seedtxt", "1")
            .click("okbut")
            .expectMessage("The service times are too large to compute with: the mean, the "
                           "standard deviation or the 95% half-width of the overtime hours "
                           "required per cycle goes beyond the largest number. Use service time "
                           "parameters or a length of simulation cycle of smaller magnitude.")
            .expectWindow("mhsinput2frm")
            .expectText("svcatxt", "3e307");
        BackToMain(d);
        QVERIFY(walk(d));
        QCOMPARE(state.mhs.Seed, std::uint64_t(0));
    }
};

QTEST_MAIN(MhSimFlow)
#include "flow_test.moc"
