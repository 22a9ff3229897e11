#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Every box the program shows to the user goes through here: the system
// sound of the kind first, then a modal box captioned with the application
// title.

int TitledMessageBox(const std::wstring& text, UINT flags);
void ErrorBox(const std::wstring& text);
void WarningBox(const std::wstring& text);
void InformationBox(const std::wstring& text);
// True when the button pressed is OK, Retry or Yes.
bool QuestionBox(const std::wstring& text, UINT buttons);

// Lets the in-process tests answer boxes without a person: while set, the
// answerer is called instead of MessageBoxW with the text, caption and flags
// and returns the id of the button "pressed". The sound is still played.
using MessageBoxAnswerer = std::function<int(const std::wstring& text, const std::wstring& caption, UINT flags)>;
void SetMessageBoxAnswerer(MessageBoxAnswerer answerer);
