/* Resource identifiers shared by zelvane.rc and the program. Plain C: windres reads it too. */
#ifndef ZELVANE_RESOURCE_IDS_H
#define ZELVANE_RESOURCE_IDS_H

#define IDI_PROGRAM 1
/* The prompt icons are icon resource iconType + 1. */
#define IDI_PROMPT_ERROR 2
#define IDI_PROMPT_QUESTION 3
#define IDI_PROMPT_EXCLAMATION 4
#define IDI_PROMPT_INFORMATION 5
/* The pictures of the main window's buttons (picButton1, picButton2). */
#define IDI_BUTTON_MODDERS 10
#define IDI_BUTTON_REMOVE 11
/* The usage guide for mod authors, type "CUSTOM". */
#define IDR_USAGE_GUIDE 101

#endif
