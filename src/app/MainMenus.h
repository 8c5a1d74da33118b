#pragma once

#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
struct UiTexts;

// The main window's menu tree, each entry named as the window's parts call it.
class MainMenus : public QObject
{
    Q_OBJECT

public:
    explicit MainMenus(QMenuBar *bar);

    // Captions in the language of `texts`, and the language's check mark.
    void setTexts(const UiTexts &texts);

    QMenu *mFile;
    QAction *mSave;
    QAction *mLog = nullptr;
    QAction *mExit;
    QMenu *mTools;
    QAction *mConnect;
    QAction *mDisconnect;
    QAction *mClear = nullptr;
    QAction *mFind = nullptr;
    QMenu *mLanguage;
    QAction *mIta;
    QAction *mEng;
    QMenu *mHlp;
    QAction *mHelp;
    QAction *mDonate;
};
