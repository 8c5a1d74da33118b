#include "HelpText.h"

#include "UiTexts.h"

#include <QStringList>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct HelpLines
{
    // Lines 1 to 7, 9, 11, 12 and 14; lines 8, 10 and 13 are empty.
    QStringList intro;
    QString errorsHeading;
    QString notFound;
    QString notFoundAdvice;
    QString errorOpening;
};

const HelpLines &englishLines()
{
    static const HelpLines lines{
        {QStringLiteral("Telvo L4686SDK."),
         QStringLiteral("The program allows you to sending and receiving the own frame to l4686sdk "
                        "through the serial port."),
         QStringLiteral("1. Select the serial port where the interface l4686sdk is connected."),
         QStringLiteral("2. Open the connection by clicking on the connect icon -()- or the tools "
                        "menu."),
         QStringLiteral("3. To send the frame just write it over the program window, you do not "
                        "need to press enter, when te frame is complete you will get the answer "
                        "from the system (ack o nack)."),
         QStringLiteral("To close the connection click on the icon -( or use the tools menu, you "
                        "can also save the text in the window trough the men\u00f9 file > save or "
                        "the floppy icon."),
         QStringLiteral("The blank page icon delete the contents of the window. The program is "
                        "available in two languages, English and Italian.")},
        QStringLiteral("Possible errors displayed by the program:"),
        QStringLiteral("L4686SDK not found : Where sending the state frame, no response is "
                       "received."),
        QStringLiteral("Check that the interface is plugged on the correct port and is connected "
                       "to the bus (the bus power the interface)."),
        QStringLiteral("Error opening com : The selected serial port does not exist."),
    };
    return lines;
}

const HelpLines &italianLines()
{
    static const HelpLines lines{
        {QStringLiteral("Telvo L4686SDK."),
         QStringLiteral("Il programma permette l'invio e la ricezione delle frame own "
                        "all'interfaccia l4686sdk attraverso la porta seriale."),
         QStringLiteral("1. Selezionare la porta seriale dove \u00e8 connessa l'interfaccia "
                        "l4686sdk."),
         QStringLiteral(
             "2. Aprire la connessione cliccando sull'icona connetti -()- o dal men\u00f9 "
             "strumenti."),
         QStringLiteral("3. Per inviare le frame basta digitarle sopra la finestra del programma, "
                        "non c'\u00e8 bisogno di dare invio, a frame completata avrete la risposta "
                        "dal sistema (ack o nack)."),
         QStringLiteral(
             "Per chiudere la connessione cliccare sulla relativa icona -( o dal men\u00f9 "
             "strumenti, si pu\u00f2 inoltre salvare il testo tramite il men\u00f9 file > "
             "salva o l'icona floppy."),
         QStringLiteral("L'icona pagina vuota cancella il contenuto della finestra. Il programma "
                        "\u00e8 disponibile in due lingue, Italiano e Inglese.")},
        QStringLiteral("Errori possibili mostrati dal programma:"),
        QStringLiteral("L4686SDK non trovata : Nell'invio della frame di richiesta "
                       "all'interfaccia non si \u00e8 ricevuta risposta."),
        QStringLiteral("Controllare che l'interfaccia sia collegata sulla porta corretta e sia "
                       "connessa al bus (il bus alimenta l'interfaccia)."),
        QStringLiteral("Errore apertura com : La porta com selezionata non esiste."),
    };
    return lines;
}

} // namespace

QString HelpText::text(const QString &languageCode)
{
    const HelpLines &l = UiTexts::isItalian(languageCode) ? italianLines() : englishLines();
    QString t = l.intro.join(kCrLf);
    t += kCrLf + kCrLf + l.errorsHeading + kCrLf + kCrLf + l.notFound + kCrLf + l.notFoundAdvice;
    t += kCrLf + kCrLf + l.errorOpening;
    return t;
}

QString HelpText::donateCaption(const QString &languageCode)
{
    // The same words as the main window's Donate command.
    return UiTexts::forLanguage(languageCode).mDonate;
}

QString HelpText::textBoxName(const QString &languageCode)
{
    return UiTexts::isItalian(languageCode) ? QStringLiteral("Testo dell'aiuto")
                                            : QStringLiteral("Help text");
}
