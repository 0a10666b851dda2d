#include "event_log/ConsoleTranscript.h"

#include "windows_wrappers/ConsoleOutput.h"

ConsoleTranscript::ConsoleTranscript() : previous(console().rdbuf()), copy(previous)
{
    console().rdbuf(&copy);
}

ConsoleTranscript::~ConsoleTranscript()
{
    console().flush();
    console().rdbuf(previous);
}

ConsoleTranscript::CopyingBuffer::int_type ConsoleTranscript::CopyingBuffer::overflow(int_type character)
{
    if (traits_type::eq_int_type(character, traits_type::eof())) {
        return traits_type::not_eof(character);
    }
    text += traits_type::to_char_type(character);
    return console->sputc(traits_type::to_char_type(character));
}

std::streamsize ConsoleTranscript::CopyingBuffer::xsputn(const char_type* characters, std::streamsize count)
{
    text.append(characters, static_cast<std::size_t>(count));
    return console->sputn(characters, count);
}

int ConsoleTranscript::CopyingBuffer::sync()
{
    return console->pubsync();
}
