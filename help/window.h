// help/window.h - the help viewer's window "HILFE - KORAX 3050" and its controls.
#pragma once

// Control numbers of the window, set by OpenViewerWindow. The tree's entry n shows the topic
// of TopicTree[n - 1].
extern int SearchEdit;
extern int ResultList;
extern int PageView;
extern int TopicTreeView;

// Opens the window with its frames, tree, search field, button, result list and HTML view;
// Enter anywhere in it searches. 1 on success.
int OpenViewerWindow();
