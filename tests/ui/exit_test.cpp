// "Exit" ends the program: its own program, since afterwards no event loop runs any more.
#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/modulestate.h"
#include "app/studies.h"
#include "shell/mainfrm.h"

class ExitTest : public QObject {
    Q_OBJECT

  private slots:
    void exitEndsTheApplicationsEventLoops();
};

void ExitTest::exitEndsTheApplicationsEventLoops() {
    davrenta::ModuleState state;
    davrenta::mainfrm window(state, davrenta::MakeStudyTable(state));
    window.show();
    QEventLoop running;
    QTimer::singleShot(0, &window, [&] { window.exitcmd->click(); });
    // Stands for the program's main loop; only an application exit ends it with 0.
    QTimer::singleShot(30000, &running, [&] { running.exit(7); });
    QCOMPARE(running.exec(), 0);
    // The application is quitting: no loop starts any more.
    QEventLoop later;
    QCOMPARE(later.exec(), -1);
}

QTEST_MAIN(ExitTest)
#include "exit_test.moc"
