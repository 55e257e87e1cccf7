// Resource and command identifiers shared by the resource script and the program.
#pragma once

#define IDI_REKAL 1
#define IDC_HAND_LINK 560
#define IDB_TOOLBAR 561
// PNG pictures (raw data), decoded onto the button-face colour.
#define IDP_INFOPANE 562
#define IDP_FIRST 563
#define IDP_LAST 564
// The same pictures drawn at 1.5 x and 2 x: the 1 x id times 10, plus 1 or 2 (artworkResource).
#define IDB_TOOLBAR_150 5611
#define IDB_TOOLBAR_200 5612
#define IDP_INFOPANE_150 5621
#define IDP_INFOPANE_200 5622
#define IDP_FIRST_150 5631
#define IDP_FIRST_200 5632
#define IDP_LAST_150 5641
#define IDP_LAST_200 5642
#define IDR_MENU_MAIN 570
#define IDR_MENU_SENTENCE 572
#define IDR_ACCEL_MAIN 580
#define IDD_IDLE_PANEL 590
#define IDD_EXAM_VIEW 591
#define IDD_EXAMLOG 594
#define IDD_REEXAM 595
#define IDD_EXPORT 596
#define IDD_ABOUT 604
#define IDD_RESULT 605
#define IDD_DETAIL 606
#define IDD_ANSWER 607
#define IDD_ALTERNATIVES 608
#define IDD_VAGUE 609
#define IDD_PAGE_GENERAL 610
#define IDD_PAGE_SOUND 611
#define IDD_PAGE_COMPARE 612
#define IDD_PAGE_FONT 613
#define IDD_PAGE_QUESTION 614
#define IDD_PAGE_ANSWER 615

// Exam view (the question list window uses the same identifiers for the same roles)
#define IDC_TOOLBAR 1026
#define IDC_ETCHED_LINE 1027
#define IDC_ANSWER_EDIT 1028
#define IDC_INFO_PANE 1029
#define IDC_INFO_SPLITTER 1030
#define IDC_STATUS_BAR 1031
#define IDC_TITLE 1054
#define IDC_QUESTION 1055
#define IDC_GROUP 1056
#define IDC_HISTORY 1057
#define IDC_ANSWER 1061
#define IDC_COMMENT 1062
#define IDC_CHOICE_FIRST 1071

// Answer dialog and alternatives dialog (the grading buttons reuse numbers of the exam view's block
// in a dialog of their own)
#define IDC_ANSWER_MARK 1024
#define IDC_GRADE_RIGHT 1025
#define IDC_GRADE_WRONG 1026
#define IDC_GRADE_SKIP 1027
#define IDC_DIALOG_HELP 1059
#define IDC_ANSWER_LIST 1060
#define IDC_SHOW_ALTERNATIVES 1063

// Idle information panel
#define IDC_IDLE_FILE_LABEL 1090
#define IDC_IDLE_FILE 1091
#define IDC_IDLE_COUNT_LABEL 1092
#define IDC_IDLE_COUNT 1093
#define IDC_IDLE_PICTURE 1094

// About box
#define IDC_ABOUT_ICON 1100
#define IDC_ABOUT_NAME 1101
#define IDC_ABOUT_VERSION 1102
#define IDC_ABOUT_AUTHOR 1103
#define IDC_ABOUT_LINK 1104

// Result dialog: each label is followed by its value
#define IDC_RESULT_ASKED_LABEL 1024
#define IDC_RESULT_ASKED 1025
#define IDC_RESULT_ANSWERED_LABEL 1026
#define IDC_RESULT_ANSWERED 1027
#define IDC_RESULT_RIGHT_LABEL 1028
#define IDC_RESULT_RIGHT 1029
#define IDC_RESULT_RATE_LABEL 1030
#define IDC_RESULT_RATE 1031
#define IDC_RESULT_TIME_LABEL 1032
#define IDC_RESULT_TIME 1033
#define IDC_RESULT_RETRY 1034
#define IDC_RESULT_DETAIL 1035
#define IDC_RESULT_HELP 1059
#define IDC_RESULT_RANDOM 1069

// Detail dialog
#define IDC_DETAIL_LIST 1040
#define IDC_DETAIL_SHOW 1041
#define IDC_DETAIL_HELP 1059
// Vague settings dialog
#define IDC_VAGUE_FIRST 1024
#define IDC_VAGUE_SECOND 1025
#define IDC_VAGUE_ADD 1026
#define IDC_VAGUE_UP 1027
#define IDC_VAGUE_DOWN 1028
#define IDC_VAGUE_DELETE 1029
#define IDC_VAGUE_LIST 1060
// The reset button of the vague dialog and of every customize page
#define IDC_RESET 1064
// Customize pages: the question file's own settings box, and the page controls by their place
#define IDC_PAGE_USE_DATA 1065
#define IDC_PAGE_BROWSE 1066
#define IDC_PAGE_1024 1024
#define IDC_PAGE_1025 1025
#define IDC_PAGE_1026 1026
#define IDC_PAGE_1027 1027
#define IDC_PAGE_1028 1028
#define IDC_PAGE_1029 1029
#define IDC_PAGE_1030 1030
#define IDC_PAGE_1031 1031
#define IDC_PAGE_1032 1032
#define IDC_PAGE_1033 1033
#define IDC_PAGE_1034 1034
#define IDC_PAGE_1035 1035
#define IDC_PAGE_1036 1036
#define IDC_PAGE_1037 1037
#define IDC_PAGE_1038 1038
#define IDC_PAGE_1039 1039
#define IDC_PAGE_1040 1040
#define IDC_PAGE_1041 1041
#define IDC_PAGE_1042 1042

// Exam-log viewer
#define IDC_LOG_TABS 1024
#define IDC_LOG_TREE 1025
#define IDC_LOG_FIRST 1026
#define IDC_LOG_LAST 1027
#define IDC_LOG_RANGE 1028
#define IDC_LOG_TIME 1029
#define IDC_LOG_METHOD 1030
#define IDC_LOG_MODE 1031
#define IDC_LOG_RATE 1032
#define IDC_LOG_ELAPSED 1033
#define IDC_LOG_REEXAM 1034
#define IDC_LOG_QUESTIONS 1060
#define IDC_LOG_NUMBER 1067
#define IDC_LOG_SPIN 1068
#define IDC_LOG_EDITOR 1070
#define IDC_LOG_FILE 1072

// Re-exam menu
#define IDC_REEXAM_WRONG 1024
#define IDC_REEXAM_ALL 1025
#define IDC_REEXAM_SELECTED 1026
#define IDC_REEXAM_RANDOM 1069

// The help button of every dialog
#define IDC_HELP_BUTTON 1059

// Question list window (its card fields use the exam view's identifiers)
#define IDC_LIST_FIND 1024
#define IDC_LIST_ANSWER_SPLITTER 1025
#define IDC_LIST_COMMENT_SPLITTER 1026
#define IDC_LIST_HELP 1059
#define IDC_LIST_ALTERNATIVES 1063
#define IDC_LIST_NUMBER 1067
#define IDC_LIST_SPIN 1068

// Study graph window
#define IDC_GRAPH_BOOKS_LABEL 1024
#define IDC_GRAPH_OPEN_BOOK 1025
#define IDC_GRAPH_ALL_BOOKS 1026
#define IDC_GRAPH_PERIOD_LABEL 1027
#define IDC_GRAPH_30_DAYS 1028
#define IDC_GRAPH_90_DAYS 1029
#define IDC_GRAPH_YEAR 1030
#define IDC_GRAPH_SUMMARY 1031
#define IDC_GRAPH_HELP 1059

// Export dialog
#define IDC_EXPORT_FILE 1110
#define IDC_EXPORT_BROWSE 1111
#define IDC_EXPORT_COMMA 1112
#define IDC_EXPORT_TAB 1113

// File menu
#define CMD_OPEN 2001
#define CMD_OPEN_EXAMLOG 2002
#define CMD_SAVE 2003
#define CMD_EXPORT 2004
#define CMD_EXIT 2007
#define CMD_SAVE_AS 2010
#define CMD_RECENT_BASE 2700
#define CMD_RECENT_CLEAR 2711

// Commands without menu items
#define CMD_CREATE_EXAM_VIEW 2101

// Start menu
#define CMD_MODE_STANDARD 2301
#define CMD_MODE_WRITTEN 2302
#define CMD_MODE_CHOICE 2303
#define CMD_MODE_CONFIRM 2304
#define CMD_RANGE 2306
#define CMD_START_ALL 2307
#define CMD_START_RANDOM_ALL 2308
#define CMD_START_RANDOM_COUNT 2309
#define CMD_START_ONE 2310
#define CMD_START_WEAK 2311
#define CMD_START_COMPLETE 2312
#define CMD_LIST 2313
#define CMD_CLEAR_HISTORIES 2314

// View menu
#define CMD_VIEW_TOOLBAR 2501
#define CMD_VIEW_STATUSBAR 2502
#define CMD_VIEW_GROUP 2503
#define CMD_VIEW_TOOLHINT 2504
#define CMD_VIEW_HINT 2505
#define CMD_CUSTOMIZE 2506
#define CMD_VIEW_INFOPANE 2507
#define CMD_VIEW_GRAPH 2508

// Help menu
#define CMD_HELP_CONTENTS 2600
#define CMD_HELP_INDEX 2601
#define CMD_ABOUT 2602

// Range dialog
#define IDD_RANGE 600
#define IDC_RANGE_START 1024
#define IDC_RANGE_START_SPIN 1025
#define IDC_RANGE_START_LIMIT 1026
#define IDC_RANGE_START_TEXT 1027
#define IDC_RANGE_END 1028
#define IDC_RANGE_END_SPIN 1029
#define IDC_RANGE_END_LIMIT 1030
#define IDC_RANGE_END_TEXT 1031
#define IDC_RANGE_BY_QUESTION 1032
#define IDC_RANGE_BY_TITLE 1033
#define IDC_RANGE_DEFAULT 1034
#define IDC_RANGE_NO_GROUPS 1035
#define IDC_RANGE_COUNT 1058
#define IDC_RANGE_HELP 1059
#define IDC_RANGE_GROUPS 1060

// Hint window
#define IDD_HINT 593
#define IDC_HINT_CAPTION 1024
#define IDC_HINT_COUNTER 1025
#define IDC_HINT_PREVIOUS 1026
#define IDC_HINT_NEXT 1027
#define IDC_HINT_TEXT 1055

// Count and weak-point dialogs (one set of controls; the weak-point dialog adds the trackbar)
#define IDD_COUNT 601
#define IDD_WEAK_POINT 602
#define IDC_COUNT_EDIT 1024
#define IDC_COUNT_SPIN 1025
#define IDC_COUNT_NO_REPEAT 1026
#define IDC_COUNT_STRENGTH 1029
#define IDC_COUNT_LIMIT 1058
#define IDC_COUNT_HELP 1059
