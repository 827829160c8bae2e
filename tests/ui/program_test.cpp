// The program itself starts headless and keeps running with its credits in front.
#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

class ProgramTest : public QObject {
    Q_OBJECT

  private slots:
    void startsAndStaysUp();
};

void ProgramTest::startsAndStaysUp() {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(DAVRENTA_PROGRAM_PATH), {});
    QVERIFY2(program.waitForStarted(30000), qPrintable(program.errorString()));
    // It waits for the user; ending on its own would be a failed start.
    const bool ended = program.waitForFinished(2000);
    QVERIFY2(!ended, qPrintable(QStringLiteral("exit code %1: %2")
                                    .arg(program.exitCode())
                                    .arg(QString::fromLocal8Bit(program.readAll()))));
    program.kill();
    QVERIFY(program.waitForFinished(30000));
}

QTEST_GUILESS_MAIN(ProgramTest)
#include "program_test.moc"
