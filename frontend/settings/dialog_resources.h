// Resource numbers of the settings dialog's and the preview's pictures, shared by the resource
// script and the code that loads them.
#pragma once

// The button's six state pictures, in the order of ButtonPicture.
#define IDB_BUTTON_NORMAL 2001
#define IDB_BUTTON_HIGHLIGHT 2002
#define IDB_BUTTON_HIGHLIGHTSELECT 2003
#define IDB_BUTTON_SELECTED 2004
#define IDB_BUTTON_PRESSED 2005
#define IDB_BUTTON_DISABLE 2006

// The option marks of the dialog's option pairs and music-source group.
#define IDB_OPTION_MARK_OFF 2010
#define IDB_OPTION_MARK_ON 2011

// The still picture of the preview window.
#define IDB_PREVIEW 2020
