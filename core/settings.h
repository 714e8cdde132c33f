#pragma once

#include "core/settings_table.h"

#include <QList>
#include <QObject>
#include <QString>
#include <array>

// The values of every settings field of the window. The widgets edit this object live, on every
// keystroke, so unsaved edits count. Consumers do not read it themselves: each tick takes a
// snapshot of what it needs (settings_snapshots.h).
class Settings : public QObject {
    Q_OBJECT
public:
    using Key = SettingKey;

    // The table's texts, as the window and the file use them.
    static QString keyName(Key key);
    static QString initialText(Key key);
    static QString caption(Key key);
    // The setting's help, followed by its rule's.
    static QString help(Key key);
    static SettingRule rule(Key key) { return settingDefinition(key).rule; }
    static SettingKind kind(Key key) { return settingDefinition(key).kind(); }
    static bool isText(Key key) { return kind(key) == SettingKind::Text; }
    // The keys of a page of the window, in their order on it.
    static QList<Key> keysOnPage(SettingPage page);

    explicit Settings(QObject* parent = nullptr);

    // The text of a text-box field.
    QString text(Key key) const;
    void setText(Key key, const QString& value);

    // chkMostraDefault: 0 unticked, 1 ticked, 2 greyed. Throws Failure outside 0 to 2.
    int mostraDefault() const { return m_mostraDefault; }
    void setMostraDefault(int state);

    // The two source option buttons, each on or off on its own.
    bool ligaSQL() const { return option(Key::LigaSQL); }
    void setLigaSQL(bool selected) { setOption(Key::LigaSQL, selected); }
    bool ligaFicheiros() const { return option(Key::LigaFicheiros); }
    void setLigaFicheiros(bool selected) { setOption(Key::LigaFicheiros, selected); }
    bool option(Key key) const;
    void setOption(Key key, bool selected);

signals:
    void changed(Settings::Key key);

private:
    std::array<QString, settingCount> m_texts;
    std::array<bool, settingCount> m_options{};
    int m_mostraDefault = 0;
};
