// jacksend: a MIDI keyboard on JACK for trying the program by hand.
//
//   jacksend [CLIENT-NAME]
//
// Registers the output port CLIENT-NAME:out (default "kbd:out") and reads
// commands from standard input, one per line:
//   C0 05          send these bytes as one MIDI event
//   wait 300       wait that many milliseconds
//   connect PORT   connect the output to a JACK input port
// Lines starting with '#' are skipped. It leaves at the end of its input.
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

jack_port_t *Out = nullptr;
jack_ringbuffer_t *Pending = nullptr;

// Each event in the ring is one length byte and its bytes.
int Process(jack_nframes_t frames, void *)
{
    void *buffer = jack_port_get_buffer(Out, frames);
    jack_midi_clear_buffer(buffer);
    unsigned char length = 0;
    while (jack_ringbuffer_peek(Pending, reinterpret_cast<char *>(&length), 1) == 1 &&
           jack_ringbuffer_read_space(Pending) >= 1u + length) {
        jack_ringbuffer_read_advance(Pending, 1);
        std::vector<char> bytes(length);
        jack_ringbuffer_read(Pending, bytes.data(), length);
        jack_midi_event_write(buffer, 0, reinterpret_cast<jack_midi_data_t *>(bytes.data()),
                              length);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string name = argc > 1 ? argv[1] : "kbd";
    jack_client_t *client = jack_client_open(name.c_str(), JackNoStartServer, nullptr);
    if (!client) {
        std::cerr << "jacksend: no JACK server\n";
        return 1;
    }
    Out = jack_port_register(client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    Pending = jack_ringbuffer_create(65536);
    jack_set_process_callback(client, Process, nullptr);
    if (!Out || jack_activate(client) != 0) {
        std::cerr << "jacksend: cannot start\n";
        return 1;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string first;
        if (!(words >> first) || first[0] == '#') {
            continue;
        }
        if (first == "wait") {
            int ms = 0;
            words >> ms;
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        } else if (first == "connect") {
            std::string port;
            words >> port;
            if (jack_connect(client, jack_port_name(Out), port.c_str()) != 0) {
                std::cerr << "jacksend: cannot connect to " << port << '\n';
            }
        } else {
            std::vector<char> event;
            std::istringstream hex(line);
            std::string byte;
            while (hex >> byte) {
                event.push_back(char(std::stoi(byte, nullptr, 16)));
            }
            const auto length = static_cast<unsigned char>(event.size());
            jack_ringbuffer_write(Pending, reinterpret_cast<const char *>(&length), 1);
            jack_ringbuffer_write(Pending, event.data(), event.size());
        }
    }
    // Let the last events go out before the port goes.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    jack_client_close(client);
    jack_ringbuffer_free(Pending);
    return 0;
}
