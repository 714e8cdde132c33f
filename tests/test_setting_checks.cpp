#include "core/setting_checks.h"
#include "support/test_main.h"

using Key = SettingKey;

class TestSettingChecks : public QObject {
    Q_OBJECT
private slots:
    void eachKindOfField_acceptsUsableValuesAndNamesTheFault_data()
    {
        QTest::addColumn<Key>("key");
        QTest::addColumn<QString>("text");
        // A word the reason must hold, or empty when the value is fine.
        QTest::addColumn<QString>("reason");
        for (Key key :
             {Key::Default_Linha1, Key::SQL_Servidor, Key::SQL_Password, Key::LigaFicheirosPath})
            QTest::addRow("free text %d", int(key)) << key << "x; ' = \\ ç" << QString();
        const std::tuple<const char*, Key, const char*, const char*> rows[] = {
            {"port number", Key::Porta, "1", ""},
            {"port device", Key::Porta, "/dev/serial/by-id/usb-FTDI-if00", ""},
            {"port COM name", Key::Porta, "COM3", ""},
            {"port empty", Key::Porta, "  ", "Indique"},
            {"port zero", Key::Porta, "0", "a partir de 1"},
            {"port fraction", Key::Porta, "1.5", "inteiro"},
            {"port above the widest number", Key::Porta, "32768", "32767"},
            {"port free text", Key::Porta, "x; ' = \\ ç", ""},
            {"width 20", Key::NumLetras, "20", ""},
            {"width 1", Key::NumLetras, "1", ""},
            {"width 255", Key::NumLetras, "255", ""},
            {"width in words", Key::NumLetras, "vinte", "algarismos"},
            {"width with unit, read as 20", Key::NumLetras, "20 letras", ""},
            {"width 0", Key::NumLetras, "0", "1 a 255"},
            {"width 256", Key::NumLetras, "256", "1 a 255"},
            {"width fraction", Key::NumLetras, "20.5", "inteiro"},
            {"width empty", Key::NumLetras, "", "Indique"},
            {"interval whole", Key::SegundosTimerSQL, "2", ""},
            {"interval half", Key::SegundosTimerDisplay, "0.5", ""},
            {"interval largest", Key::SegundosTimerSQL, "65.535", ""},
            {"interval empty stops", Key::SegundosTimerSQL, "", ""},
            {"interval zero stops", Key::SegundosTimerDisplay, "0", ""},
            {"interval letters", Key::SegundosTimerSQL, "abc", "segundos"},
            {"interval comma, read as 2", Key::SegundosTimerSQL, "2,5", ""},
            {"interval comma, read above the largest", Key::SegundosTimerSQL, "70,5", "65.535"},
            {"interval comma, read negative", Key::SegundosTimerSQL, "-1,5", "negativo"},
            {"validity with unit, read as 300", Key::SegundosValidade, "300 s", ""},
            {"interval negative", Key::SegundosTimerDisplay, "-1", "negativo"},
            {"interval 70", Key::SegundosTimerSQL, "70", "65.535"},
            {"interval rounds above", Key::SegundosTimerSQL, "65.5356", "65.535"},
            {"codes", Key::InitLinha1, "27+81+65", ""},
            {"one code", Key::Limpa, "12", ""},
            {"no codes", Key::InitMostrador, "", ""},
            {"six codes", Key::FimLinha2, "1+2+3+4+5+255", ""},
            {"codes with blanks", Key::InitLinha2, "27 + 81", "algarismos e +"},
            {"codes with letters", Key::FimLinha1, "ESC Q A", "algarismos e +"},
            {"code above a byte", Key::InitLinha1, "27+256", "256"},
            {"very long code", Key::InitLinha1, "27+99999999999", "99999999999"},
            {"empty code", Key::InitLinha1, "27++65", "Falta"},
            {"trailing plus", Key::InitLinha1, "27+", "Falta"},
            {"seven codes", Key::InitMostrador, "1+2+3+4+5+6+7", "6 primeiros"},
            // Checked by the rules that read them, which name the fault.
            {"line settings", Key::PortaDefinicoes, "19200,E,7,2", ""},
            {"line settings, odd speed", Key::PortaDefinicoes, "14400,n,8,1", "115200"},
            {"code page folding", Key::PaginaCodigos, "", ""},
            {"code page 858", Key::PaginaCodigos, "858", ""},
            {"code page unknown", Key::PaginaCodigos, "1251", "858"},
        };
        for (const auto& [tag, key, text, reason] : rows)
            QTest::newRow(tag) << key << text << reason;
    }

    void eachKindOfField_acceptsUsableValuesAndNamesTheFault()
    {
        QFETCH(Key, key);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        const QString problem = settingProblem(key, text);
        QVERIFY2(reason.isEmpty() ? problem.isEmpty() : problem.contains(reason),
                 qPrintable(problem));
    }

    void valueReadByItsLeadingNumber_isNotedNotRefused_data()
    {
        QTest::addColumn<Key>("key");
        QTest::addColumn<QString>("text");
        // What the note must hold, or empty when there is none.
        QTest::addColumn<QString>("note");
        const std::tuple<const char*, Key, const char*, const char*> rows[] = {
            {"comma in an interval", Key::SegundosTimerSQL, "2,5",
             "Lido como 2 segundos: conta só o número do início. O separador decimal é o ponto"},
            {"unit after the validity", Key::SegundosValidade, "1.5 minutos",
             "Lido como 1.5 segundos"},
            {"unit after the width", Key::NumLetras, "20 letras", "Lido como 20 letras"},
            {"as written", Key::SegundosTimerDisplay, " 0.5 ", ""},
            {"empty", Key::SegundosTimerSQL, "", ""},
            {"no number: unusable", Key::SegundosTimerSQL, "dois", ""},
            {"above the largest: unusable", Key::SegundosTimerDisplay, "99,9", ""},
            {"not a rule that reads so", Key::Limpa, "12x", ""},
        };
        for (const auto& [tag, key, text, note] : rows)
            QTest::newRow(tag) << key << text << note;
    }

    void valueReadByItsLeadingNumber_isNotedNotRefused()
    {
        QFETCH(Key, key);
        QFETCH(QString, text);
        QFETCH(QString, note);
        const QString noted = settingNote(key, text);
        QVERIFY2(note.isEmpty() ? noted.isEmpty() : noted.startsWith(note), qPrintable(noted));
        QVERIFY(note.isEmpty() || settingProblem(key, text).isEmpty());
    }

    // Every character of an accepted value must be typeable, or a field could not be typed in.
    void typeableCharacters_coverEveryValueTheCheckAccepts()
    {
        const std::pair<Key, QString> fine[] = {
            {Key::NumLetras, "255"},
            {Key::SegundosTimerSQL, "0.5"},
            {Key::SegundosTimerDisplay, "65.535"},
            {Key::InitMostrador, "27+64"},
            {Key::FimLinha2, "13"},
            {Key::PortaDefinicoes, "115200,E,7,2"},
            {Key::PortaDefinicoes, "1200,o,8,1"},
            {Key::PortaDefinicoes, "4800,M,8,1"},
            {Key::PortaDefinicoes, "9600,s,8,1"},
            {Key::PortaDefinicoes, "9600,N,8,1"},
            {Key::PaginaCodigos, "1252"},
        };
        for (const auto& [key, text] : fine) {
            QVERIFY(settingProblem(key, text).isEmpty());
            for (const QChar c : text)
                QVERIFY2(settingCharacters(key).contains(c), qPrintable(text));
        }
    }
};

MOSTRELA_TEST_MAIN(TestSettingChecks)
#include "test_setting_checks.moc"
