// platform/AfxRes.h
//
// The framework's own identifiers: commands and strings that the framework handles or
// shows itself, and that a program's resources may supply.
#pragma once

// The title string: when the string table holds it, it names the application.
#define AFX_IDS_APP_TITLE               0xE000
// The Help command, routed to CWinApp::OnHelp.
#define ID_HELP                         0xE146
// The text shown when the help viewer would not start.
#define AFX_IDP_FAILED_TO_LAUNCH_HELP   0xF107
