#pragma once

#include <functional>
#include <string>

#include <QString>

class QWidget;

namespace davrenta {

// The title of every message box and the name the application goes by.
inline constexpr const char* kApplicationTitle = "Davrenta";

// Texts built with LineBreak (character 13) as the screens show them: every line break,
// CR, CR LF or LF, becomes one '\n'.
QString DisplayText(const std::string& text);
QString DisplayText(const QString& text);
QString DisplayText(const char* text);

// A message box with the application's title and a single OK button; it returns once the
// user has closed it. Multi-line texts may use LineBreak.
void ShowMessage(QWidget* parent, const QString& text);
void ShowMessage(QWidget* parent, const std::string& text);
void ShowMessage(QWidget* parent, const char* text);

// A question with "Yes" and "No" (objectName "questionbox", its buttons "yesbut" and "nobut"),
// "No" the default and Escape's answer; true for "Yes".
bool AskQuestion(QWidget* parent, const QString& text);

// Test seam: while a handler is set, ShowMessage passes it the display text (line breaks as
// '\n') instead of opening a box. Returns the previous handler; an empty one restores the box.
using MessageHandler = std::function<void(const QString& text)>;
MessageHandler SetMessageHandler(MessageHandler handler);

} // namespace davrenta
