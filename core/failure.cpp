#include "core/failure.h"

Failure::Failure(const QString& description) : std::runtime_error(description.toStdString()) {}

QString Failure::description() const
{
    return QString::fromStdString(what());
}

QString runTrapped(const std::function<void()>& handler)
{
    try {
        handler();
        return {};
    } catch (const Failure& failure) {
        return failure.description();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Memória insuficiente");
    } catch (const std::exception& error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QStringLiteral("Erro desconhecido");
    }
}

void runSkippingFailure(const std::function<void()>& step)
{
    runTrapped(step);
}
