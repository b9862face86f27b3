#pragma once
// Message boxes: OK, OK/Cancel and Yes/No, with the texts the program gives.
// A handler can stand in for the user (tests answer questions with it).
#include "platform/framework/FrameworkIds.h"

#include <QString>

#include <functional>

class QWidget;

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    QString text;
    QString caption;
    UINT type = MB_OK;
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Installs a handler that answers every message box instead of the user;
// returns the one it replaces. An empty handler restores the real dialogs.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// A message box owned by the main window, captioned with the application's title.
int AfxMessageBox(const QString& text, UINT type = MB_OK, UINT helpId = 0);
// A message box with the given owner (may be null) and caption (may be empty).
int MessageBoxEx(QWidget* owner, const QString& text, const QString& caption, UINT type = MB_OK);
