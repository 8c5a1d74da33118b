#pragma once

#include <QString>

// Every language-dependent text of the main window, in one language.
struct UiTexts
{
    // Status texts shown by the link and the commands.
    QString msgConnectionClosed;
    QString msgConnectionEstablished;
    QString msgErrorOpenCom;
    QString msgInterfaceNotFound;
    QString msgConnectionTime;

    // Tooltips of the toolbar buttons 1, 2, 4, 6, 8 and 9.
    QString tipConnect;
    QString tipDisconnect;
    QString tipSave;
    QString tipClear;
    QString tipItalian;
    QString tipEnglish;

    // Menu captions.
    QString mSave;
    QString mExit;
    QString mTools;
    QString mConnect;
    QString mDisconnect;
    QString mClear;
    QString mLanguage;
    QString mIta;
    QString mEng;
    QString mDonate;
    QString mHelp;

    // For screen readers: the names of the port list and the terminal text box, and what
    // the two status panels are (their live text stays their name).
    QString accPortList;
    QString accTerminal;
    QString accStatePanel;
    QString accTimePanel;

    // Finding the interface (Tools > Find L4686SDK): the menu entry, and what status panel 1
    // says while searching and after; msgFoundOn takes the port number for %1.
    QString mFind;
    QString msgSearching;
    QString msgFoundOn;
    QString msgNotFoundOnAnyPort;
    // Beside an entry of the open port list whose device is not there.
    QString portAbsent;

    // File > Log to file...: the entry, its dialog's title, and the box of a log that could
    // not be written (the system's reason for %1).
    QString mLog;
    QString logTitle;
    QString msgLogFailed;

    bool italian = false;

    // "it" (exactly) selects Italian; every other code, "" and "IT" included, English.
    static bool isItalian(const QString &languageCode)
    {
        return languageCode == QLatin1String("it");
    }
    static const UiTexts &forLanguage(const QString &languageCode);
    static const UiTexts &english();
    static const UiTexts &italianTexts();
};

namespace LanguageCode {
inline const QString Italian = QStringLiteral("it");
inline const QString English = QStringLiteral("en");
} // namespace LanguageCode
