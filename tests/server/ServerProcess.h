#pragma once
// The real lobby server program on a free loopback port with a database of its own, for the
// tests that connect to it over TCP. The server goes with the test program, even when that is
// killed; Stop ends it with SIGTERM and waits for a clean exit.
#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <csignal>

#include <QDeadlineTimer>
#include <QProcess>
#include <memory>
#include <string>

class TServerProcess {
public:
  static constexpr int kServerDeadlineMs = 15000;

  explicit TServerProcess(const std::string& Db) : FDb(Db) {}
  ~TServerProcess() { Stop(); }

  // Starts the program on a free port and waits for it to say which.
  void Start() {
    FProcess = std::make_unique<QProcess>();
    FProcess->setProcessChannelMode(QProcess::SeparateChannels);
    // The server goes with the test program, even when that is killed.
    FProcess->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    FProcess->start(QString(BRENMOOR_BINARY_DIR "/bin/brenmoor-lobby"),
                    {"--bind", "127.0.0.1", "--port", "0", "--db", QString::fromStdString(FDb),
                     "--hash-cost", "1", "--ping-interval", "300", "--max-per-address", "0"});
    ASSERT_TRUE(FProcess->waitForStarted(kServerDeadlineMs));
    QByteArray Out;
    QDeadlineTimer Deadline(kServerDeadlineMs);
    while (!Out.contains('\n') && !Deadline.hasExpired()) {
      FProcess->waitForReadyRead(200);
      Out += FProcess->readAllStandardOutput();
    }
    const QByteArray Mark = "listening on 127.0.0.1:";
    const qsizetype At = Out.indexOf(Mark);
    ASSERT_GE(At, 0) << Out.toStdString() << FProcess->readAllStandardError().toStdString();
    FPort = Out.mid(At + Mark.size()).trimmed().toInt();
    ASSERT_GT(FPort, 0);
  }
  // SIGTERM and a clean exit.
  int Stop() {
    if (!FProcess) return 0;
    FProcess->terminate();
    int Code = -1;
    if (FProcess->waitForFinished(kServerDeadlineMs)) {
      Code = FProcess->exitStatus() == QProcess::NormalExit ? FProcess->exitCode() : -1;
    } else {
      FProcess->kill();
      FProcess->waitForFinished(kServerDeadlineMs);
    }
    FProcess.reset();
    return Code;
  }
  int Port() const { return FPort; }
  // A line on the operator's console.
  void Console(const std::string& Line) {
    FProcess->write((Line + "\n").c_str());
  }

private:
  std::string FDb;
  std::unique_ptr<QProcess> FProcess;
  int FPort = 0;
};

