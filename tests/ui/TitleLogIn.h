#pragma once
// The title screen's online game: the log-in window to another lobby server on this machine,
// by a known user or by a new one made through the window's user information form.
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "controls/ElasticPanel.h"
#include "controls/ModalSteps.h"
#include "platform/TextCodec.h"
#include "ui/LobbyDialogs.h"
#include "ui/LoginForm.h"
#include "ui/MainForm.h"

// Steps for the user information form the dialog shows next, run from inside its own loop (a
// nested window of the log-in window, which stays open meanwhile).
inline void WhenUserForm(TdlgUserInfo& Dialog, std::function<void(QDialog& Form)> Steps) {
  Dialog.OnFormReady = [&Dialog, Steps](TfrmUserInfo& Form) {
    QTimer::singleShot(0, &Form, [&Form, Steps] { Steps(Form); });
    // Last: this clears the handler that runs now.
    Dialog.OnFormReady = nullptr;
  };
}

// Who logs in, and to which port of 127.0.0.1. A new user's form gets the name, the password
// twice, FirstName and Country, then BeforeOk (when set) sees it just before its OK.
struct TTitleLogIn {
  std::string Name;
  std::string Password;
  int Port = 0;
  bool NewUser = false;
  std::string FirstName;
  std::string Country;
  std::function<void(QDialog& Form)> BeforeOk;
};

// Clicks the title screen's log-in button and fills in and leaves the log-in window as Who
// says; it returns once the window has closed.
inline void LogInFromTitle(TfrmMain& Main, const TTitleLogIn& Who) {
  const auto Find = [](QWidget& Parent, const char* Name) {
    auto* Found = Parent.findChild<QWidget*>(Name);
    EXPECT_NE(Found, nullptr) << Name;
    return Found;
  };
  const auto Type = [&Find](QWidget& Parent, const char* Edit, const std::string& Text) {
    // Typed as a player types: the old text selected and typed over.
    auto* Line = static_cast<QLineEdit*>(Find(Parent, Edit));
    Line->setFocus();
    Line->selectAll();
    QTest::keyClicks(Line, ToQString(Text));
  };
  const auto Click = [&Find](QWidget& Parent, const char* Button) {
    QTest::mouseClick(Find(Parent, Button), Qt::LeftButton);
  };
  auto Armed = WhenModal([&](QDialog& W) {
    Click(W, "rbAnother");
    Type(W, "edtHostAddress", "127.0.0.1");
    static_cast<QSpinBox*>(Find(W, "spinPort"))->setValue(Who.Port);
    if (!Who.NewUser) {
      Type(W, "edtUserName", Who.Name);
      Type(W, "edtPassword", Who.Password);
      Click(W, "btnProceed");
      return;
    }
    WhenUserForm(static_cast<TfrmLogin&>(W).dlgNewUser(), [&](QDialog& Info) {
      Type(Info, "edtUserId", Who.Name);
      Type(Info, "edtPassword1", Who.Password);
      Type(Info, "edtPassword2", Who.Password);
      Type(Info, "edtFirstName", Who.FirstName);
      Type(Info, "edtCountry", Who.Country);
      if (Who.BeforeOk) Who.BeforeOk(Info);
      Click(Info, "btnOk");
    });
    Click(W, "btnCreateNewUser");
  });
  Click(*Main.pnlTitle(), "btnLogin");
}
