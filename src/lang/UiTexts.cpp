#include "UiTexts.h"

const UiTexts &UiTexts::english()
{
    static const UiTexts texts{
        QStringLiteral("Connection closed"),
        QStringLiteral("Connection established"),
        QStringLiteral("Error open Com"),
        QStringLiteral("L4686SDK not found"),
        QStringLiteral("Connection time"),
        QStringLiteral("Connect"),
        QStringLiteral("Disconnect"),
        QStringLiteral("Save"),
        QStringLiteral("Clear"),
        QStringLiteral("Italian"),
        QStringLiteral("English"),
        QStringLiteral("Save"),
        QStringLiteral("Exit"),
        QStringLiteral("Tools"),
        QStringLiteral("Connect"),
        QStringLiteral("Disconnect"),
        QStringLiteral("Clear"),
        QStringLiteral("Language"),
        QStringLiteral("Italian"),
        QStringLiteral("English"),
        QStringLiteral("Donate"),
        QStringLiteral("Help"),
        QStringLiteral("Serial port"),
        QStringLiteral("Terminal"),
        QStringLiteral("Connection state"),
        QStringLiteral("Connection time"),
        false,
    };
    return texts;
}

const UiTexts &UiTexts::italianTexts()
{
    static const UiTexts texts{
        QStringLiteral("Connessione chiusa"),
        QStringLiteral("Connessione stabilita"),
        QStringLiteral("Errore apertura porta com"),
        QStringLiteral("L4686SDK non trovata"),
        QStringLiteral("Tempo connessione"),
        QStringLiteral("Connetti"),
        QStringLiteral("Disconnetti"),
        QStringLiteral("Salva"),
        QStringLiteral("Cancella"),
        QStringLiteral("Italiano"),
        QStringLiteral("Inglese"),
        QStringLiteral("Salva"),
        QStringLiteral("Esci"),
        QStringLiteral("Strumenti"),
        QStringLiteral("Connetti"),
        QStringLiteral("Disconnetti"),
        QStringLiteral("Cancella"),
        QStringLiteral("Lingua"),
        QStringLiteral("Italiano"),
        QStringLiteral("Inglese"),
        QStringLiteral("Donazione"),
        QStringLiteral("Aiuto"),
        QStringLiteral("Porta seriale"),
        QStringLiteral("Terminale"),
        QStringLiteral("Stato connessione"),
        QStringLiteral("Tempo connessione"),
        true,
    };
    return texts;
}

const UiTexts &UiTexts::forLanguage(const QString &languageCode)
{
    return isItalian(languageCode) ? italianTexts() : english();
}
