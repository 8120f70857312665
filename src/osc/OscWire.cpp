#include "osc/OscWire.h"

#include <lo/lo.h>

namespace tarvello {

std::optional<TOscMessage> ReadOscMessage(const QByteArray &datagram)
{
    if (datagram.size() < 4) {
        return std::nullopt;
    }
    // liblo checks every length and tag against the datagram's size; it wants
    // bytes it may write to.
    QByteArray data = datagram;
    int result = 0;
    lo_message message = lo_message_deserialise(data.data(), size_t(data.size()), &result);
    if (!message) {
        return std::nullopt;
    }
    TOscMessage read;
    read.Path = data.constData();
    const char *types = lo_message_get_types(message);
    lo_arg **values = lo_message_get_argv(message);
    const int count = lo_message_get_argc(message);
    read.Arguments.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        TOscArgument argument;
        argument.Type = types[i];
        if (argument.Type == 'i') {
            argument.Int = values[i]->i;
        } else if (argument.Type == 'f') {
            argument.Float = values[i]->f;
        } else if (argument.Type == 's') {
            argument.Text = &values[i]->s;
        }
        read.Arguments.push_back(std::move(argument));
    }
    lo_message_free(message);
    return read;
}

QByteArray WriteOscMessage(const TOscMessage &message)
{
    lo_message written = lo_message_new();
    if (!written) {
        return QByteArray();
    }
    for (const TOscArgument &argument : message.Arguments) {
        if (argument.Type == 'i') {
            lo_message_add_int32(written, argument.Int);
        } else if (argument.Type == 'f') {
            lo_message_add_float(written, argument.Float);
        } else if (argument.Type == 's') {
            lo_message_add_string(written, argument.Text.c_str());
        }
    }
    size_t size = lo_message_length(written, message.Path.c_str());
    QByteArray bytes(qsizetype(size), '\0');
    lo_message_serialise(written, message.Path.c_str(), bytes.data(), &size);
    bytes.resize(qsizetype(size));
    lo_message_free(written);
    return bytes;
}

} // namespace tarvello
