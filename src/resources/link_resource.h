// Control identifiers of the link page (dialog IDD_LINK, 105).
#pragma once

#define IDC_LINK_BUTTON 1031  // link, enter the PIN, or unlink
#define IDC_LINK_PIN 1032     // PIN entry, enabled while waiting for the PIN
#define IDC_LINK_STATUS 1033  // first status line
#define IDC_LINK_STATE 1034   // second status line, coloured by the link state
