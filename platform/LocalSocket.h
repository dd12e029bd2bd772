#pragma once
// Local (Unix domain) stream sockets for the hand-over between two starts of the program: the
// few calls it needs, with deadlines. The program's own layer instead of a network library, whose
// dependencies (Kerberos, proxy configuration) would load at every start for one local socket.

#include "platform/FileDescriptor.h"

#include <chrono>
#include <string>
#include <string_view>

// A socket address holds 107 bytes of path; a path too long for it is reached through its
// folder's descriptor ("/proc/self/fd/N/NAME"), so any folder works whose last name is short.

// A listening socket at `path`, its file the player's alone (mode 0600): it is bound under a
// private name and renamed into place, so nobody else can connect in between. A socket file
// that a killed program, or another program of the player, left at `path` is replaced.
// Non-blocking. Invalid when it fails.
FileDescriptor listenLocal(const std::string& path);

// The next waiting connection (non-blocking); invalid when none waits.
FileDescriptor acceptLocal(int listener);

// A connection to the socket at `path`; invalid when nobody listens there.
FileDescriptor connectLocal(const std::string& path);

// True when the program at the other end of the connected socket runs as this program's user:
// another user may have made the socket, and must not get the player's request.
bool peerIsThisUser(int socket);

// Writes all of `bytes` before `deadline`.
bool sendAll(int fd, std::string_view bytes, std::chrono::steady_clock::time_point deadline);

// Reads what has arrived (at most `limit` bytes) and appends it; waits until `deadline` for the
// first byte. False at the end of the stream, on an error or when nothing came in time.
bool receiveSome(int fd, std::string& into, std::size_t limit, std::chrono::steady_clock::time_point deadline);

// A request as it travels: its length in four bytes (big-endian), then its bytes.
std::string framedRequest(std::string_view request);
// The request once `received` holds it whole; `complete` stays false while more is to come, and
// `tooLong` is set for a length beyond `longest`.
std::string unframedRequest(const std::string& received, std::size_t longest, bool& complete, bool& tooLong);
