#pragma once
// The real lobby server program on a free loopback port with a database of its own, for the
// tests that connect to it over TLS. The server makes its self-signed certificate beside the
// database in the test's temporary folder on its first start; unless told otherwise the test
// program trusts that certificate as it would one an authority signed, so the game's
// connections go through without a question. The server goes with the test program, even when
// that is killed; Stop ends it with SIGTERM and waits for a clean exit.
#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <csignal>

#include <QDeadlineTimer>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <memory>
#include <string>

struct TServerOptions {
  // --allow-plain: clients without TLS are let in too.
  bool AllowPlain = false;
  // The test program trusts the server's certificate as if an authority had signed it.
  bool Trusted = true;
  // --tls-cert and --tls-key; empty: the server's own beside the database.
  std::string CertificateFile, KeyFile;
};

class TServerProcess {
public:
  static constexpr int kServerDeadlineMs = 15000;

  explicit TServerProcess(const std::string& Db, TServerOptions Options = {}) : FDb(Db), FOptions(Options) {}
  ~TServerProcess() { Stop(); }

  // Starts the program on a free port and waits for it to say which.
  void Start() {
    FOutput.clear();
    FProcess = std::make_unique<QProcess>();
    FProcess->setProcessChannelMode(QProcess::SeparateChannels);
    // The server goes with the test program, even when that is killed.
    FProcess->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    QStringList Args{"--bind", "127.0.0.1", "--port", "0", "--db", QString::fromStdString(FDb),
                     "--hash-cost", "1", "--ping-interval", "300", "--max-per-address", "0"};
    if (FOptions.AllowPlain) Args << "--allow-plain";
    if (!FOptions.CertificateFile.empty())
      Args << "--tls-cert" << QString::fromStdString(FOptions.CertificateFile) << "--tls-key"
           << QString::fromStdString(FOptions.KeyFile);
    FProcess->start(QString(BRENMOOR_BINARY_DIR "/bin/brenmoor-lobby"), Args);
    ASSERT_TRUE(FProcess->waitForStarted(kServerDeadlineMs));
    QByteArray Out;
    QDeadlineTimer Deadline(kServerDeadlineMs);
    const QByteArray Print = "certificate SHA-256 fingerprint ";
    while (!(Out.contains(Print) && Out.indexOf('\n', Out.indexOf(Print)) > 0) && !Deadline.hasExpired()) {
      FProcess->waitForReadyRead(200);
      Out += FProcess->readAllStandardOutput();
    }
    const QByteArray Mark = "listening on 127.0.0.1:";
    const qsizetype At = Out.indexOf(Mark);
    ASSERT_GE(At, 0) << Out.toStdString() << FProcess->readAllStandardError().toStdString();
    FPort = Out.mid(At + Mark.size(), Out.indexOf('\n', At) - At - Mark.size()).trimmed().toInt();
    ASSERT_GT(FPort, 0);
    const qsizetype F = Out.indexOf(Print);
    ASSERT_GE(F, 0) << Out.toStdString();
    FFingerprint = Out.mid(F + Print.size(), Out.indexOf('\n', F) - F - Print.size()).trimmed().toStdString();
    if (FOptions.Trusted) TrustCertificate();
  }
  // The certificate the server made beside its database, and its SHA-256 fingerprint.
  std::string CertificateFile() const {
    if (!FOptions.CertificateFile.empty()) return FOptions.CertificateFile;
    const std::size_t Dot = FDb.rfind('.');
    return (Dot == std::string::npos ? FDb : FDb.substr(0, Dot)) + ".crt";
  }
  const std::string& Fingerprint() const { return FFingerprint; }
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
  // Waits for the server to print a line holding Text on its standard output; the line.
  std::string AwaitOutput(const std::string& Text) {
    QDeadlineTimer Deadline(kServerDeadlineMs);
    while (!Deadline.hasExpired()) {
      FOutput += FProcess->readAllStandardOutput();
      const qsizetype At = FOutput.indexOf(Text.c_str());
      const qsizetype End = At < 0 ? -1 : FOutput.indexOf('\n', At);
      if (End >= 0) {
        const qsizetype Start = FOutput.lastIndexOf('\n', At) + 1;
        const std::string Line = FOutput.mid(Start, End - Start).toStdString();
        FOutput.remove(0, End + 1);
        return Line;
      }
      FProcess->waitForReadyRead(100);
    }
    return "";
  }

private:
  // The certificate among the test program's authorities (once: it stays across restarts).
  void TrustCertificate() {
    const QList<QSslCertificate> Mine = QSslCertificate::fromPath(QString::fromStdString(CertificateFile()));
    ASSERT_EQ(Mine.size(), 1) << CertificateFile();
    QSslConfiguration Config = QSslConfiguration::defaultConfiguration();
    if (Config.caCertificates().contains(Mine.front())) return;
    Config.addCaCertificates(Mine);
    QSslConfiguration::setDefaultConfiguration(Config);
  }

  std::string FDb;
  TServerOptions FOptions;
  std::string FFingerprint;
  QByteArray FOutput;
  std::unique_ptr<QProcess> FProcess;
  int FPort = 0;
};

