#include "core/failure.h"
#include "core/setting_checks.h"
#include "core/settings.h"
#include "core/settings_snapshots.h"
#include "support/test_main.h"

using Key = Settings::Key;

// The settings and the snapshots read from them: each number has one reading rule whoever reads
// it. What the table itself must hold is checked where it is written.
class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void table_givesTheInitialValues()
    {
        const Settings settings;
        for (const SettingDefinition& row : settingsTable) {
            const QString held = row.kind() == SettingKind::Text ? settings.text(row.key)
                                 : row.kind() == SettingKind::Option
                                     ? QString::number(settings.option(row.key))
                                     : QString::number(settings.mostraDefault());
            QCOMPARE(held, Settings::initialText(row.key));
        }
        // A file without the display's line settings or code page drives it as before.
        QCOMPARE(settings.text(Key::PortaDefinicoes), "9600,n,8,1");
        QVERIFY(Settings::help(Key::InitLinha1).endsWith("vazio não envia nada."));
    }

    void changes_areSignalledOncePerRealChange()
    {
        Settings settings;
        QSignalSpy changed(&settings, &Settings::changed);
        settings.setText(Key::Porta, "/dev/ttyUSB0");
        settings.setText(Key::Porta, "/dev/ttyUSB0");
        settings.setOption(Key::LigaFicheiros, true);
        settings.setLigaFicheiros(true);
        settings.setMostraDefault(2);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(1).at(0).value<Key>(), Key::LigaFicheiros);
        QVERIFY_THROWS_EXCEPTION(Failure, settings.setMostraDefault(3));
        QCOMPARE(settings.mostraDefault(), 2);
    }

    void lineWidth_isReadByItsLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("letters"); // -1: cannot be used
        QTest::newRow("plain") << "20" << 20;
        QTest::newRow("with a word after it") << "20 letras" << 20;
        QTest::newRow("blanks before") << "  16" << 16;
        QTest::newRow("half to even") << "2.5" << 2;
        QTest::newRow("no digits") << "vinte" << -1;
        QTest::newRow("empty") << "" << -1;
        // The window's bounds: no width it marks as out of bounds reaches the display.
        QTest::newRow("zero") << "0" << -1;
        QTest::newRow("negative") << "-1" << -1;
        QTest::newRow("widest") << "255" << 255;
        QTest::newRow("too wide") << "256" << -1;
    }
    void lineWidth_isReadByItsLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, letters);
        Settings settings;
        settings.setText(Key::NumLetras, text);
        // The display and the drop folder read the same width from the same text.
        for (const LineWidth& width :
             {displaySettings(settings).numLetras, sourceSettings(settings).numLetras}) {
            QCOMPARE(width.text, text);
            if (letters < 0) {
                QVERIFY(!width.letters);
                const QString error = runTrapped([&] { width.value(); });
                QVERIFY2(error.contains(text), qPrintable(error));
            } else {
                QCOMPARE(width.value(), letters);
            }
        }
    }

    void validity_isReadWithinTheBoundsTheWindowKeeps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("milliseconds"); // 0: no limit
        const double longest = settingRule(SettingRule::age).highest;
        QTest::newRow("plain") << "300" << qint64(300'000);
        QTest::newRow("with a unit after it") << "300 s" << qint64(300'000);
        QTest::newRow("less than a millisecond") << "0.0001" << qint64(1);
        QTest::newRow("zero") << "0" << qint64(0);
        QTest::newRow("empty") << "" << qint64(0);
        QTest::newRow("longest") << QString::number(longest, 'f', 0) << qint64(longest * 1000);
        QTest::newRow("beyond the longest") << QString::number(longest + 1, 'f', 0) << qint64(0);
    }
    void validity_isReadWithinTheBoundsTheWindowKeeps()
    {
        QFETCH(QString, text);
        QFETCH(qint64, milliseconds);
        Settings settings;
        settings.setText(Key::SegundosValidade, text);
        QCOMPARE(rotationSettings(settings).validityMs, milliseconds);
        // Every one of them is usable: beyond the longest reads as no limit, as 0 does.
        QCOMPARE(settingProblem(Key::SegundosValidade, text), QString());
    }

    void snapshots_carryTheFieldsAsTheyStand()
    {
        Settings settings;
        settings.setText(Key::Porta, "COM3");
        settings.setText(Key::Limpa, "27 + 64");
        settings.setText(Key::FimLinha2, QString());
        settings.setText(Key::SQL_Servidor, "loja");
        settings.setText(Key::SQL_Password, "x;y");
        settings.setText(Key::LigaFicheirosPath, "/srv/entrada");
        settings.setText(Key::Default_Linha2, "#DataHora#");
        settings.setLigaSQL(true);
        settings.setMostraDefault(1);
        settings.setText(Key::PortaDefinicoes, "19200,o,7,2");
        settings.setText(Key::PaginaCodigos, "858");

        const DisplaySettings display = displaySettings(settings);
        QVERIFY(display.portaDefinicoes.value ==
                (LineSettings{19200, LineSettings::Parity::odd, 7, 2}));
        QVERIFY(display.paginaCodigos.value == CodePage::parse("858"));
        QCOMPARE(display.porta, "COM3");
        QCOMPARE((QList<QByteArray>{display.limpa, display.initLinha2, display.fimLinha2}),
                 (QList<QByteArray>{"\x1B\x40", "\x1BQB", ""}));

        const SourceSettings sources = sourceSettings(settings);
        QVERIFY(sources.ligaSQL && !sources.ligaFicheiros);
        QCOMPARE((QStringList{sources.sqlServidor, sources.sqlPassword, sources.ligaFicheirosPath}),
                 (QStringList{"loja", "x;y", "/srv/entrada"}));

        const RotationSettings rotation = rotationSettings(settings);
        QCOMPARE(rotation.mostraDefault, 1);
        QCOMPARE(rotation.defaultLinha2, "#DataHora#");

        // A snapshot is a value: later edits do not reach it.
        settings.setText(Key::Porta, "COM4");
        QCOMPARE(display.porta, "COM3");
    }
};

MOSTRELA_TEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
