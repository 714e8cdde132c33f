#pragma once

#include <QObject>
#include <QString>
#include <array>

// The values of every settings field of the window. The widgets edit this object live, on every
// keystroke, so unsaved edits count; every reader asks it afresh on each call.
class Settings : public QObject {
    Q_OBJECT
public:
    // In the order in which Mostrela.cfg lists them.
    enum class Key {
        Porta,
        NumLetras,
        InitMostrador,
        Limpa,
        InitLinha1,
        InitLinha2,
        FimLinha1,
        FimLinha2,
        SegundosTimerSQL,
        SegundosTimerDisplay,
        MostraDefault,
        Default_Linha1,
        Default_Linha2,
        SQL_Servidor,
        SQL_Utilizador,
        SQL_Password,
        SQL_BaseDados,
        LigaSQL,
        LigaFicheiros,
        LigaFicheirosPath,
    };
    static constexpr int keyCount = 20;
    static const std::array<Key, keyCount>& keysInFileOrder();
    static QString keyName(Key key);
    // The keys whose field is a text box (all but MostraDefault, LigaSQL and LigaFicheiros).
    static bool isText(Key key);

    explicit Settings(QObject* parent = nullptr);

    // The text of a text-box field.
    QString text(Key key) const;
    void setText(Key key, const QString& value);

    // chkMostraDefault: 0 unticked, 1 ticked, 2 greyed. Throws Failure outside 0 to 2.
    int mostraDefault() const { return m_mostraDefault; }
    void setMostraDefault(int state);

    // The two source option buttons, each on or off on its own.
    bool ligaSQL() const { return m_ligaSQL; }
    void setLigaSQL(bool selected);
    bool ligaFicheiros() const { return m_ligaFicheiros; }
    void setLigaFicheiros(bool selected);

signals:
    void changed(Settings::Key key);

private:
    std::array<QString, keyCount> m_texts;
    int m_mostraDefault = 0;
    bool m_ligaSQL = false;
    bool m_ligaFicheiros = false;
};
