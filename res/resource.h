// Identifiers shared by kelvast.rc and the code. Plain numbers only: windres and rc read this too.
#ifndef KELVAST_RESOURCE_H
#define KELVAST_RESOURCE_H

#define IDC_PROGRAM 101
#define IDC_BROWSE 102
#define IDC_TIME 103
#define IDC_TIME_HELP 104
#define IDC_STATUS 105
#define IDC_INFO 106
#define IDC_START 107
#define IDC_CANCEL 108
#define IDC_EXIT 109
#define IDC_INFO_TEXT 110
#define IDC_DAY_SU 201
#define IDC_DAY_MO 202
#define IDC_DAY_TU 203
#define IDC_DAY_WE 204
#define IDC_DAY_TH 205
#define IDC_DAY_FR 206
#define IDC_DAY_SA 207

#define IDS_BLANK 40000
#define IDS_BAD_PARAMS 40001
#define IDS_THREAD_FAILED 40004
#define IDS_WAITING 40005
#define IDS_THREAD_ENDED 40012
#define IDS_INVALID_TIME 40013
#define IDS_RUN_STARTED 40014
#define IDS_RUN_EXITED 40015
#define IDS_RUN_FAILED 40016
#define IDS_RUN_MISSED 40017
#define IDS_PATH_TOO_LONG 40018
#define IDS_RUN_MISSED_ABSENT 40019

#endif
