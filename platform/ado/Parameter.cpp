#include "Parameter.h"

#include "Errors.h"

namespace ado {

namespace {

const QString kSource = QStringLiteral("ADODB.Parameters");

[[noreturn]] void notFound()
{
    throw Exception(errnum::ItemNotFound,
                    QStringLiteral("No se encontró el elemento en la colección que corresponde al nombre o "
                                   "al ordinal solicitado."),
                    kSource);
}

} // namespace

Parameter::Parameter(const QString &name, DataTypeEnum type, ParameterDirection direction, long size,
                     const platform::Variant &value)
    : m_name(name), m_type(type), m_direction(direction), m_size(size), m_value(value)
{}

void Parameters::Append(std::shared_ptr<Parameter> parameter)
{
    if (!parameter)
        throw Exception(3001,
                        QStringLiteral("Los argumentos son de tipo incorrecto, están fuera del intervalo "
                                       "aceptable o están en conflicto unos con otros."),
                        kSource);
    m_items.push_back(std::move(parameter));
}

void Parameters::Delete(int index)
{
    if (index < 0 || index >= Count())
        notFound();
    m_items.erase(m_items.begin() + index);
}

Parameter &Parameters::Item(int index) const
{
    if (index < 0 || index >= Count())
        notFound();
    return *m_items[size_t(index)];
}

Parameter &Parameters::Item(const QString &name) const
{
    for (const auto &p : m_items)
        if (p->Name().compare(name, Qt::CaseInsensitive) == 0)
            return *p;
    notFound();
}

} // namespace ado
