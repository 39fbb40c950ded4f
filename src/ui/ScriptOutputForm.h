#pragma once
// "Debug": the script output window. The scripts' Print appends its lines here (the window
// shows itself for each); Clear empties it, Close closes it.
#include <string>

#include "players/ScriptModule.h"
#include "ui/GameWindows.h"

class QPlainTextEdit;

class TfrmDebug : public TGameWindow {
  Q_OBJECT
public:
  TfrmDebug();

  // Shows the window and appends Line to memoDebug.
  void Print(const std::string& Line);
  QPlainTextEdit* memoDebug() const { return FMemo; }
  void btnClearClick();

  // The script module's output: Print comes here, chat goes on to ChatSink (the chat window,
  // when one is set; nothing otherwise).
  TScriptChatSink& OutputSink() { return FSink; }
  void SetChatSink(TScriptChatSink* Sink) { FSink.Chat = Sink; }

private:
  class TOutputSink : public TScriptChatSink {
  public:
    explicit TOutputSink(TfrmDebug& Window) : FWindow(Window) {}
    void SendGameChat(const std::string& Line) override {
      if (Chat) Chat->SendGameChat(Line);
    }
    void ShowChat(std::int32_t Channel, const std::string& Text) override {
      if (Chat) Chat->ShowChat(Channel, Text);
    }
    void Print(const std::string& Line) override { FWindow.Print(Line); }
    TScriptChatSink* Chat = nullptr;

  private:
    TfrmDebug& FWindow;
  };

  QPlainTextEdit* FMemo;
  TOutputSink FSink{*this};
};
