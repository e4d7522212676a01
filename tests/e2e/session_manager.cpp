// A session manager for the tests (XSMP, as desktop sessions speak it): prints
// "listening <SESSION_MANAGER value>", then logs what its one client does. On
// SIGUSR1 it ends the session: save yourself (both kinds, shutdown, any
// interaction), then die once the client says it has saved.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <vector>

namespace {

volatile std::sig_atomic_t end_requested = 0;
SmsConn client = nullptr;
bool session_ending = false;

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

Bool accept_any_host(char*) {
    return True;
}

Status register_client(SmsConn conn, SmPointer, char*) {
    char* id = SmsGenerateClientID(conn);
    SmsRegisterClientReply(conn, id);
    std::free(id);
    say("registered");
    return 1;
}

void interact_request(SmsConn conn, SmPointer, int) {
    say("interact-request");
    SmsInteract(conn);
}

void interact_done(SmsConn, SmPointer, Bool cancelled) {
    say("interact-done " + std::to_string(cancelled));
}

void save_yourself_request(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}

void save_yourself_phase2_request(SmsConn conn, SmPointer) {
    SmsSaveYourselfPhase2(conn);
}

void save_yourself_done(SmsConn conn, SmPointer, Bool success) {
    say("saved " + std::to_string(success));
    if (session_ending) {
        SmsDie(conn);
        say("die");
    }
}

void close_connection(SmsConn conn, SmPointer, int, char**) {
    say("closed");
    SmsCleanUp(conn);
    std::exit(0);
}

void set_properties(SmsConn, SmPointer, int count, SmProp** props) {
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(props[i]->name, SmRestartStyleHint) == 0 && props[i]->num_vals == 1)
            say("restart-hint " +
                std::to_string(*static_cast<unsigned char*>(props[i]->vals[0].value)));
        SmFreeProperty(props[i]);
    }
    std::free(props);
}

void delete_properties(SmsConn, SmPointer, int, char**) {}

void get_properties(SmsConn conn, SmPointer) {
    SmsReturnProperties(conn, 0, nullptr);
}

Status new_client(SmsConn conn, SmPointer, unsigned long* mask, SmsCallbacks* callbacks, char**) {
    client = conn;
    *mask = ~0UL;
    callbacks->register_client.callback = register_client;
    callbacks->interact_request.callback = interact_request;
    callbacks->interact_done.callback = interact_done;
    callbacks->save_yourself_request.callback = save_yourself_request;
    callbacks->save_yourself_phase2_request.callback = save_yourself_phase2_request;
    callbacks->save_yourself_done.callback = save_yourself_done;
    callbacks->close_connection.callback = close_connection;
    callbacks->set_properties.callback = set_properties;
    callbacks->delete_properties.callback = delete_properties;
    callbacks->get_properties.callback = get_properties;
    return 1;
}

} // namespace

int main() {
    char error[256] = {};
    if (!SmsInitialize("keeprun-tests", "1", new_client, nullptr, accept_any_host, sizeof error,
                       error)) {
        say(std::string("SmsInitialize failed: ") + error);
        return 1;
    }
    int listen_count = 0;
    IceListenObj* listeners = nullptr;
    if (!IceListenForConnections(&listen_count, &listeners, sizeof error, error)) {
        say(std::string("IceListenForConnections failed: ") + error);
        return 1;
    }
    for (int i = 0; i < listen_count; ++i)
        IceSetHostBasedAuthProc(listeners[i], accept_any_host);
    char* ids = IceComposeNetworkIdList(listen_count, listeners);
    say(std::string("listening ") + ids);
    std::free(ids);
    std::signal(SIGUSR1, [](int) { end_requested = 1; });

    std::vector<IceConn> connections;
    for (;;) {
        if (end_requested && client && !session_ending) {
            session_ending = true;
            SmsSaveYourself(client, SmSaveBoth, True, SmInteractStyleAny, False);
            say("save-yourself");
        }
        std::vector<pollfd> fds;
        for (int i = 0; i < listen_count; ++i)
            fds.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        for (IceConn c : connections)
            fds.push_back({IceConnectionNumber(c), POLLIN, 0});
        if (::poll(fds.data(), fds.size(), 100) <= 0) continue;
        for (int i = 0; i < listen_count; ++i) {
            if (!(fds[static_cast<std::size_t>(i)].revents & POLLIN)) continue;
            IceAcceptStatus status;
            IceConn c = IceAcceptConnection(listeners[i], &status);
            if (c) connections.push_back(c);
        }
        for (std::size_t k = 0; k < connections.size(); ++k) {
            if (!(fds[static_cast<std::size_t>(listen_count) + k].revents & (POLLIN | POLLHUP)))
                continue;
            if (IceProcessMessages(connections[k], nullptr, nullptr) == IceProcessMessagesIOError) {
                say("connection lost");
                IceCloseConnection(connections[k]);
                return 0;
            }
        }
    }
}
