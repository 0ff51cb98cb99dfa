#include "platform/DatagramBatch.h"
#include "platform/SocketApi.h"

#include <limits>

namespace ferrow::socket_api {

bool StartSocketLibrary() {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

void StopSocketLibrary() {
    ::WSACleanup();
}

bool MakeExclusiveListener(SocketHandle socket) {
    // Windows' SO_REUSEADDR would let another socket take the port over; binding again
    // after a close needs no option there.
    return SetIntOption(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, 1);
}

bool SetReceiveTimeoutMs(SocketHandle socket, int timeoutMs) {
    const DWORD value = static_cast<DWORD>(timeoutMs);
    return ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&value),
                        static_cast<int>(sizeof value)) == 0;
}

void RequestReceiveQueue(SocketHandle socket, int bytes) {
    SetIntOption(socket, SOL_SOCKET, SO_RCVBUF, bytes);
}

WaitResult WaitForReadable(SocketHandle socket, int timeoutMs) {
    fd_set readSet;
    FD_ZERO(&readSet);
    FD_SET(socket, &readSet);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int result = ::select(0, &readSet, nullptr, nullptr, &limit);
    if (result == 0) {
        return WaitResult::TimedOut;
    }
    return result == 1 && FD_ISSET(socket, &readSet) ? WaitResult::Readable : WaitResult::Failed;
}

int PendingBytes(SocketHandle socket) {
    u_long pending = 0;
    if (::ioctlsocket(socket, FIONREAD, &pending) != 0) {
        return -1;
    }
    return pending > static_cast<u_long>(std::numeric_limits<int>::max())
               ? std::numeric_limits<int>::max()
               : static_cast<int>(pending);
}

int ReceiveDatagram(SocketHandle socket, char* buffer, int capacity, sockaddr_in* from) {
    // A datagram larger than capacity fails here with WSAEMSGSIZE.
    int fromLength = kSocketAddressLength;
    const int received =
        ::recvfrom(socket, buffer, capacity, 0, reinterpret_cast<sockaddr*>(from), &fromLength);
    return received == SOCKET_ERROR ? -1 : received;
}

int ReceiveDatagrams(SocketHandle socket, DatagramBatch& batch) {
    // Winsock has no batched read: one recvfrom per datagram while more are waiting.
    batch.count = 0;
    while (batch.count < batch.capacity && WaitForReadable(socket, 0) == WaitResult::Readable) {
        const auto index = static_cast<std::size_t>(batch.count);
        sockaddr_in source{};
        int sourceLength = static_cast<int>(sizeof source);
        const int received = ::recvfrom(socket, batch.Slot(batch.count), batch.datagramBytes, 0,
                                        reinterpret_cast<sockaddr*>(&source), &sourceLength);
        // A datagram larger than the buffer fails with WSAEMSGSIZE, its head kept.
        const bool oversize = received == SOCKET_ERROR && ::WSAGetLastError() == WSAEMSGSIZE;
        if (received == SOCKET_ERROR && !oversize) {
            return batch.count > 0 ? batch.count : -1;
        }
        batch.lengths[index] = oversize ? batch.datagramBytes : received;
        batch.oversize[index] = oversize;
        batch.sources[index] = source.sin_addr.s_addr;
        ++batch.count;
    }
    return batch.count;
}

void CloseSocket(SocketHandle socket) {
    ::closesocket(socket);
}

} // namespace ferrow::socket_api
