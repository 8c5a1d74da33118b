#include "MainMenus.h"

#include "UiTexts.h"

#include <QMenuBar>
#include <QShortcut>

namespace {
QMenu *addMenu(QMenuBar *bar, const char *name, const char *caption)
{
    QMenu *menu = bar->addMenu(QLatin1String(caption));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction *addItem(QMenu *menu, const char *name, const char *caption)
{
    QAction *action = menu->addAction(QLatin1String(caption));
    action->setObjectName(QLatin1String(name));
    return action;
}
} // namespace

// The design-time captions are the English ones; the language routine sets the others.
MainMenus::MainMenus(QMenuBar *bar)
    : QObject(bar)
    , mFile(addMenu(bar, "mFile", "File"))
    , mSave(addItem(mFile, "mSave", "Save"))
    , mExit(addItem(mFile, "mExit", "Exit"))
    , mTools(addMenu(bar, "mTools", "Tools"))
    , mConnect(addItem(mTools, "mConnect", "Connect"))
    , mDisconnect(addItem(mTools, "mDisconnect", "Disconnect"))
    , mLanguage(addMenu(bar, "mLanguage", "Language"))
    , mIta(addItem(mLanguage, "mIta", "Italian"))
    , mEng(addItem(mLanguage, "mEng", "English"))
    , mHlp(addMenu(bar, "mHlp", "?"))
    , mHelp(addItem(mHlp, "mHelp", "Help"))
    , mDonate(addItem(mHlp, "mDonate", "Donate"))
{
    mTools->addSeparator()->setObjectName(QStringLiteral("m1"));
    mClear = addItem(mTools, "mClear", "Clear");
    mTools->addSeparator();
    mFind = addItem(mTools, "mFind", "Find L4686SDK");
    mLog = new QAction(QStringLiteral("Log to file..."), mFile);
    mLog->setObjectName(QStringLiteral("mLog"));
    mFile->insertAction(mExit, mLog);
    mIta->setCheckable(true);
    mEng->setCheckable(true);
    // The entries keep no shortcuts; F10 opens the first menu, as the desktops do.
    connect(new QShortcut(QKeySequence(Qt::Key_F10), bar), &QShortcut::activated, bar,
            [bar, file = mFile] { bar->setActiveAction(file->menuAction()); });
}

void MainMenus::setTexts(const UiTexts &texts)
{
    mIta->setChecked(texts.italian);
    mEng->setChecked(!texts.italian);

    mSave->setText(texts.mSave);
    mLog->setText(texts.mLog);
    mExit->setText(texts.mExit);
    mTools->setTitle(texts.mTools);
    mConnect->setText(texts.mConnect);
    mDisconnect->setText(texts.mDisconnect);
    mClear->setText(texts.mClear);
    mFind->setText(texts.mFind);
    mLanguage->setTitle(texts.mLanguage);
    mIta->setText(texts.mIta);
    mEng->setText(texts.mEng);
    mDonate->setText(texts.mDonate);
    mHelp->setText(texts.mHelp);
    // The menu bar shows "?"; the open menu tells a screen reader what it holds.
    mHlp->setAccessibleName(texts.mHelp);
}
