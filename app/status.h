#pragma once

#include <QObject>
#include <QString>

// What the running page shows about the controller's state: the running frame's caption (the
// polling step under way) and the failure label (the description of the last failure).
class Status : public QObject {
    Q_OBJECT
public:
    static QString idleCaption() { return QStringLiteral("Em Execução"); }

    using QObject::QObject;

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    QString error() const { return m_error; }
    void setError(const QString& error);

signals:
    void captionChanged(const QString& caption);
    void errorChanged(const QString& error);

private:
    QString m_caption = idleCaption();
    QString m_error;
};
