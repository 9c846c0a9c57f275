// The twelve forms of the main window: what opens each, its child window
// title, its close command and what runs after it has opened.
#pragma once

#include <array>

class CFormView;
class CMainFrame;

enum FormIndex {
    FormWirelessStatistics,
    FormBridgeIPConfiguration,
    FormBridgeOperationalMode,
    FormEthernetStatistics,
    FormWirelessOperationalSettings,
    FormPrivacyOptions,
    FormTrapLog,
    FormRadioConfiguration,
    FormAssociatedStations,
    FormKnownBSSs,
    FormHardwareConfiguration,
    FormFiltering,
    FormCount
};

enum OpenRoutines { RefreshThenPopulate, PopulateOnly, PopulateThenRefresh, RefreshOnly,
                    ClearBusyThenPopulate };

struct CFormDescription {
    const char* viewClass;
    int openCommand;
    const char* title;       // child window title, leading blank included
    int closeCommand;
    OpenRoutines routines;
    bool clearsViewPointer;  // polling and trap recording stop updating it
};

const std::array<CFormDescription, FormCount>& FormTable();
// The form index of an opening or close command, or -1.
int FormOfOpenCommand(int command);
int FormOfCloseCommand(int command);

// Creates the view of a form (defined in form_factories.cpp).
CFormView* CreateFormView(int index, CMainFrame* mainFrame);
