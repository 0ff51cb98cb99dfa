#pragma once

// The thin platform layer under the discovery sockets: Winsock on Windows, BSD sockets
// elsewhere. This header holds the include block and the handle type; the calls that differ
// between the two are in SocketApiPosix.cpp and SocketApiWindows.cpp.

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#include <cstdint>

namespace ferrow {

struct DatagramBatch;

#ifdef _WIN32
using SocketHandle = SOCKET;
inline const SocketHandle kInvalidSocket = INVALID_SOCKET;
inline constexpr int kShutdownBoth = SD_BOTH;
#else
using SocketHandle = int;
inline constexpr SocketHandle kInvalidSocket = -1;
inline constexpr int kShutdownBoth = SHUT_RDWR;
#endif

inline constexpr socklen_t kSocketAddressLength = static_cast<socklen_t>(sizeof(sockaddr_in));

namespace socket_api {

// Starts the socket library where the platform needs one (Winsock 2.2); true when it
// runs. Each successful start is matched by one stop.
bool StartSocketLibrary();
void StopSocketLibrary();

// Holds the socket library for the scope's life; the command-line programs hold one in
// main, the window starts and stops it around its run.
class SocketLibraryScope {
public:
    SocketLibraryScope();
    SocketLibraryScope(const SocketLibraryScope&) = delete;
    SocketLibraryScope& operator=(const SocketLibraryScope&) = delete;
    ~SocketLibraryScope();
    bool Started() const { return m_started; }

private:
    bool m_started = false;
};

// An IPv4 UDP socket, or kInvalidSocket.
SocketHandle OpenUdpSocket();

// setsockopt with a 4-byte integer value; true when the option was set.
bool SetIntOption(SocketHandle socket, int level, int name, int value);

// For a TCP socket before it binds to listen: it may bind at once after an earlier listener
// on the address closed, but not beside one that still listens (SO_REUSEADDR on POSIX,
// SO_EXCLUSIVEADDRUSE on Windows). True when the option was set.
bool MakeExclusiveListener(SocketHandle socket);

// SO_RCVTIMEO in the form the platform takes (milliseconds, or seconds and microseconds).
bool SetReceiveTimeoutMs(SocketHandle socket, int timeoutMs);

// Asks for a kernel receive queue of at least the given size; where the limit caps it and
// the process may exceed the limit, forces it. Best effort: the result is not reported.
void RequestReceiveQueue(SocketHandle socket, int bytes);

enum class WaitResult { Readable, TimedOut, Failed };

// Waits until a datagram can be read, at most timeoutMs (a negative time: not at all).
WaitResult WaitForReadable(SocketHandle socket, int timeoutMs);

// Size of the next pending datagram (FIONREAD), or -1 on failure.
int PendingBytes(SocketHandle socket);

// Reads one datagram of at most capacity bytes; -1 on failure, and also when the datagram
// was larger than capacity (the rest of it is lost, so it counts as a failed read).
int ReceiveDatagram(SocketHandle socket, char* buffer, int capacity, sockaddr_in* from);

// Reads, without waiting, the datagrams already queued, at most a batch. Empty and oversize
// datagrams are taken like any other (oversize ones cut and marked). The number read (0
// when none was waiting), or -1 when the read failed.
int ReceiveDatagrams(SocketHandle socket, DatagramBatch& batch);

// shutdown in both directions, then close.
void ShutdownAndClose(SocketHandle socket);
// close without shutdown.
void CloseSocket(SocketHandle socket);

bool Bind(SocketHandle socket, const sockaddr_in& address);

// IP_ADD_MEMBERSHIP: the socket receives what is sent to the multicast group on the
// interface that holds the local address (both in network byte order); true when joined.
bool JoinMulticastGroup(SocketHandle socket, std::uint32_t group, std::uint32_t localAddress);

// The IPv4 socket address of an address in network byte order and a port in host order.
sockaddr_in Ipv4SocketAddress(std::uint32_t networkAddress, std::uint16_t hostPort);

// sendto of one datagram; the bytes sent, or -1.
int SendDatagram(SocketHandle socket, const char* data, int length, const sockaddr_in& to);

// inet_addr: network byte order, INADDR_NONE for text that is no address.
std::uint32_t InetAddr(const char* text);

} // namespace socket_api
} // namespace ferrow
