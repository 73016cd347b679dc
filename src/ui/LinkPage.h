// The fourth page of the sheet: links the game to the player's Twitter account through the
// OAuth 1.0a PIN flow, or removes the link. It writes its result at once, whatever the sheet's
// OK, Apply and Cancel do later.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class CGOption;

// The page parameter may point to a LinkService (which must outlive the page); without one
// the page talks to the real service and opens the default browser.
INT_PTR CALLBACK LinkPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Fills applicationKey/applicationSecret from System.ini and accessToken/accessSecret from
// Game.ini, rewriting a plain value found there in the stored form.
void LoadLinkKeys(CGOption& option);
// Stores accessToken "&" accessSecret as "AccessKey" in Game.ini ("" unless both are set).
// False when the value did not reach the file.
bool SaveAccessKey(CGOption& option);

// Where the page sends its requests and how it shows the authorisation page.
struct LinkService {
    std::string apiBase;  // scheme and host, no "/" after
    // True when a browser shows `url`. Empty: the default browser, through the shell.
    std::function<bool(const std::string& url)> openBrowser;
};
