// The request channel to the service: its interface library's four ordinals,
// the reply that a request lends to its caller, and the busy rule.
#pragma once

#include <cstdint>

#include "core/service_status.h"

#if defined(_WIN32) && !defined(_WIN64)
#define SERVICE_CALL __stdcall
#else
#define SERVICE_CALL
#endif

typedef uint32_t(SERVICE_CALL* ServiceInitializeFn)();
typedef uint32_t(SERVICE_CALL* ServiceUninitializeFn)();
typedef uint32_t(SERVICE_CALL* ServiceRequestFn)(uint32_t code, const void* input, uint32_t inputSize,
                                                 uint32_t wantReply, void** reply, uint32_t* replySize,
                                                 uint8_t* releaseFlag, uint32_t* releaseToken, uint32_t reserved1,
                                                 uint32_t reserved2);
typedef void(SERVICE_CALL* ServiceReleaseReplyFn)(void* reply, uint32_t replySize, uint32_t releaseFlag,
                                                  uint32_t releaseToken);

// Written once before the first background thread starts, read-only after.
struct ServiceLibraryRecord {
    void* module;  // the loaded library; null when none
    ServiceInitializeFn ServiceInitialize;
    ServiceUninitializeFn ServiceUninitialize;
    ServiceRequestFn ServiceRequest;
    ServiceReleaseReplyFn ServiceReleaseReply;
};

extern ServiceLibraryRecord ServiceLibrary;

const uint32_t NoReleaseToken = 0xFFFFFFFF;

// A reply block owned by the library until it is handed back.
struct ServiceReply {
    const uint8_t* data;
    uint32_t size;
    uint8_t releaseFlag;
    uint32_t releaseToken;
};

void ClearReply(ServiceReply* reply);
bool ReplyIsHeld(const ServiceReply& reply);

// One request. With a null reply no reply is asked for. The reply must later
// go to ReleaseReply, whatever the status.
ServiceStatus RequestService(uint32_t code, const void* input, uint32_t inputSize, ServiceReply* reply);

// Hands a held reply back to the library exactly once and clears it.
void ReleaseReply(ServiceReply* reply);

// The unload's side: a closed channel refuses new requests (not started)
// but still takes replies back; it is idle when no call is inside the
// library and no reply is held, and only then may the library go.
void SetServiceChannelClosed(bool closed);
bool ServiceChannelIdle();

// Called before each repeat of a busy request; returns false to give up
// (the caller is being stopped), in which case the busy status is returned.
typedef bool (*BusyPause)(void* context);

// Repeats the identical request while the service answers busy, releasing
// any reply that came with a busy answer before the next try.
ServiceStatus RequestServiceUntilNotBusy(uint32_t code, const void* input, uint32_t inputSize, ServiceReply* reply,
                                         BusyPause pause, void* context);
