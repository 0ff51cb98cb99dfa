#include "platform/DatagramBatch.h"
#include "platform/SocketApi.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace ferrow::socket_api {

bool StartSocketLibrary() {
    return true;
}

void StopSocketLibrary() {}

bool MakeExclusiveListener(SocketHandle socket) {
    // A second listener on Linux needs SO_REUSEPORT, so SO_REUSEADDR alone keeps it out.
    return SetIntOption(socket, SOL_SOCKET, SO_REUSEADDR, 1);
}

bool SetReceiveTimeoutMs(SocketHandle socket, int timeoutMs) {
    timeval value{};
    value.tv_sec = timeoutMs / 1000;
    value.tv_usec = (timeoutMs % 1000) * 1000;
    return ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value) == 0;
}

void RequestReceiveQueue(SocketHandle socket, int bytes) {
    SetIntOption(socket, SOL_SOCKET, SO_RCVBUF, bytes);
    // Linux caps SO_RCVBUF at net.core.rmem_max and reports twice the size it keeps;
    // a process allowed to administer the network may go past the cap.
    int granted = 0;
    socklen_t length = sizeof granted;
    if (::getsockopt(socket, SOL_SOCKET, SO_RCVBUF, &granted, &length) == 0 && granted < bytes) {
#ifdef SO_RCVBUFFORCE
        SetIntOption(socket, SOL_SOCKET, SO_RCVBUFFORCE, bytes);
#endif
    }
}

WaitResult WaitForReadable(SocketHandle socket, int timeoutMs) {
    // poll rather than select: a descriptor past FD_SETSIZE must not write out of bounds.
    // poll would wait on a closed (negative) descriptor; select fails on it at once.
    if (socket < 0) {
        return WaitResult::Failed;
    }
    // A signal handled meanwhile (a program's Ctrl+C) interrupts the wait, which then goes
    // on for the time left: it is no failure of the socket.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd entry{socket, POLLIN, 0};
    int result = ::poll(&entry, 1, timeoutMs < 0 ? 0 : timeoutMs);
    while (result < 0 && errno == EINTR) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        result = ::poll(&entry, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
    }
    if (result == 0) {
        return WaitResult::TimedOut;
    }
    return result == 1 && (entry.revents & POLLIN) != 0 ? WaitResult::Readable : WaitResult::Failed;
}

int PendingBytes(SocketHandle socket) {
    int pending = 0;
    return ::ioctl(socket, FIONREAD, &pending) == 0 ? pending : -1;
}

int ReceiveDatagram(SocketHandle socket, char* buffer, int capacity, sockaddr_in* from) {
    // Linux cuts an oversize datagram without failing; MSG_TRUNC makes it report the
    // datagram's real length, so the cut can be told from a datagram that fitted.
    socklen_t fromLength = kSocketAddressLength;
    ssize_t received;
    do {
        received = ::recvfrom(socket, buffer, static_cast<size_t>(capacity), MSG_TRUNC,
                              reinterpret_cast<sockaddr*>(from), &fromLength);
    } while (received < 0 && errno == EINTR);
    if (received < 0 || received > capacity) {
        return -1;
    }
    return static_cast<int>(received);
}

int ReceiveDatagrams(SocketHandle socket, DatagramBatch& batch) {
    // recvmmsg takes the whole batch in one system call (Linux).
    constexpr auto kMost = static_cast<std::size_t>(DatagramBatch::kCapacity);
    const auto capacity = static_cast<std::size_t>(batch.capacity);
    std::array<iovec, kMost> pieces{};
    std::array<sockaddr_in, kMost> sources{};
    std::array<mmsghdr, kMost> messages{};
    for (std::size_t i = 0; i < capacity; ++i) {
        pieces[i] = {batch.Slot(static_cast<int>(i)),
                     static_cast<std::size_t>(batch.datagramBytes)};
        messages[i].msg_hdr.msg_iov = &pieces[i];
        messages[i].msg_hdr.msg_iovlen = 1;
        messages[i].msg_hdr.msg_name = &sources[i];
        messages[i].msg_hdr.msg_namelen = kSocketAddressLength;
    }
    int received;
    do {
        received = ::recvmmsg(socket, messages.data(), static_cast<unsigned>(capacity),
                              MSG_DONTWAIT, nullptr);
    } while (received < 0 && errno == EINTR);
    if (received < 0) {
        batch.count = 0;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(received); ++i) {
        batch.lengths[i] = static_cast<int>(
            std::min<unsigned>(messages[i].msg_len, static_cast<unsigned>(batch.datagramBytes)));
        batch.oversize[i] = (messages[i].msg_hdr.msg_flags & MSG_TRUNC) != 0;
        batch.sources[i] = sources[i].sin_addr.s_addr;
    }
    batch.count = received;
    return received;
}

void CloseSocket(SocketHandle socket) {
    ::close(socket);
}

} // namespace ferrow::socket_api
