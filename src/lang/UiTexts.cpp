#include "UiTexts.h"

const UiTexts &UiTexts::english()
{
    static const UiTexts texts{
        .msgConnectionClosed = QStringLiteral("Connection closed"),
        .msgConnectionEstablished = QStringLiteral("Connection established"),
        .msgErrorOpenCom = QStringLiteral("Error open Com"),
        .msgInterfaceNotFound = QStringLiteral("L4686SDK not found"),
        .msgConnectionTime = QStringLiteral("Connection time"),
        .tipConnect = QStringLiteral("Connect"),
        .tipDisconnect = QStringLiteral("Disconnect"),
        .tipSave = QStringLiteral("Save"),
        .tipClear = QStringLiteral("Clear"),
        .tipItalian = QStringLiteral("Italian"),
        .tipEnglish = QStringLiteral("English"),
        .mSave = QStringLiteral("Save"),
        .mExit = QStringLiteral("Exit"),
        .mTools = QStringLiteral("Tools"),
        .mConnect = QStringLiteral("Connect"),
        .mDisconnect = QStringLiteral("Disconnect"),
        .mClear = QStringLiteral("Clear"),
        .mLanguage = QStringLiteral("Language"),
        .mIta = QStringLiteral("Italian"),
        .mEng = QStringLiteral("English"),
        .mDonate = QStringLiteral("Donate"),
        .mHelp = QStringLiteral("Help"),
        .accPortList = QStringLiteral("Serial port"),
        .accTerminal = QStringLiteral("Terminal"),
        .accStatePanel = QStringLiteral("Connection state"),
        .accTimePanel = QStringLiteral("Connection time"),
        .mFind = QStringLiteral("Find L4686SDK"),
        .msgSearching = QStringLiteral("Searching for L4686SDK..."),
        .msgFoundOn = QStringLiteral("L4686SDK found on COM %1"),
        .msgNotFoundOnAnyPort = QStringLiteral("L4686SDK not found on any port"),
        .portAbsent = QStringLiteral("not present"),
        .mLog = QStringLiteral("Log to file..."),
        .logTitle = QStringLiteral("Log file"),
        .msgLogFailed = QStringLiteral("The log file could not be written: %1"),
        .italian = false,
    };
    return texts;
}

const UiTexts &UiTexts::italianTexts()
{
    static const UiTexts texts{
        .msgConnectionClosed = QStringLiteral("Connessione chiusa"),
        .msgConnectionEstablished = QStringLiteral("Connessione stabilita"),
        .msgErrorOpenCom = QStringLiteral("Errore apertura porta com"),
        .msgInterfaceNotFound = QStringLiteral("L4686SDK non trovata"),
        .msgConnectionTime = QStringLiteral("Tempo connessione"),
        .tipConnect = QStringLiteral("Connetti"),
        .tipDisconnect = QStringLiteral("Disconnetti"),
        .tipSave = QStringLiteral("Salva"),
        .tipClear = QStringLiteral("Cancella"),
        .tipItalian = QStringLiteral("Italiano"),
        .tipEnglish = QStringLiteral("Inglese"),
        .mSave = QStringLiteral("Salva"),
        .mExit = QStringLiteral("Esci"),
        .mTools = QStringLiteral("Strumenti"),
        .mConnect = QStringLiteral("Connetti"),
        .mDisconnect = QStringLiteral("Disconnetti"),
        .mClear = QStringLiteral("Cancella"),
        .mLanguage = QStringLiteral("Lingua"),
        .mIta = QStringLiteral("Italiano"),
        .mEng = QStringLiteral("Inglese"),
        .mDonate = QStringLiteral("Donazione"),
        .mHelp = QStringLiteral("Aiuto"),
        .accPortList = QStringLiteral("Porta seriale"),
        .accTerminal = QStringLiteral("Terminale"),
        .accStatePanel = QStringLiteral("Stato connessione"),
        .accTimePanel = QStringLiteral("Tempo connessione"),
        .mFind = QStringLiteral("Cerca L4686SDK"),
        .msgSearching = QStringLiteral("Ricerca L4686SDK in corso..."),
        .msgFoundOn = QStringLiteral("L4686SDK trovata su COM %1"),
        .msgNotFoundOnAnyPort = QStringLiteral("L4686SDK non trovata su nessuna porta"),
        .portAbsent = QStringLiteral("non presente"),
        .mLog = QStringLiteral("Registra su file..."),
        .logTitle = QStringLiteral("File di registro"),
        .msgLogFailed = QStringLiteral("Impossibile scrivere il file di registro: %1"),
        .italian = true,
    };
    return texts;
}

const UiTexts &UiTexts::forLanguage(const QString &languageCode)
{
    return isItalian(languageCode) ? italianTexts() : english();
}
