// The application's exception display: an exception that leaves an event
// handler is shown in a message box with its text, and the program goes on.
#pragma once

#include <QString>
#include <exception>
#include <functional>

class QWidget;

namespace gz::shell {

class MessageBoxes;

// The operator's text of an exception. Core errors carry UTF-8 or GBK text;
// an exception of unknown type has no text.
QString exceptionText(std::exception_ptr e);

// Shows `e` in an error box captioned with the application's name.
void showException(MessageBoxes& boxes, QWidget* parent, std::exception_ptr e);

// Runs `handler`; an exception that leaves it is shown and swallowed.
// Returns false when that happened.
bool runHandler(MessageBoxes& boxes, QWidget* parent, const std::function<void()>& handler);

}  // namespace gz::shell
