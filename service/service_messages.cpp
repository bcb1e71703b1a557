#include "service/service_messages.h"

namespace {

constexpr platform::MessageTableEntry kMessages[] = {
    {MSG_SERVICE_INSTALLED, "The %1 service was installed.\r\n"},
    {MSG_SERVICE_REMOVED, "The %1 service was removed.\r\n"},
    {MSG_SERVICE_NOT_REMOVED, "The %1 service could not be removed.\r\n"},
    {MSG_SERVICE_STARTED, "The %1 service was started.\r\n"},
    {MSG_SERVICE_STOPPED, "The %1 service was stopped.\r\n"},
    {MSG_SERVICE_INIT_FAILED, "The %1 service failed intialization.\r\n"},
    {MSG_INVALID_REQUEST, "The service control manager sent an invalid request to %1.\r\n"},
    {MSG_HANDLER_NOT_INSTALLED, "The service control handler is not installed.\r\n"},
    {MSG_SOCKETS_FAILED, "The service %1 could not start because Windows Sockets failed to initialize.\r\n"},
    {MSG_SETTINGS_NOT_FOUND, "The service %1 could not start because the initialization file: %2 was not found.\r\n"},
    {MSG_TEC_HANDLER_FAILED, "The service %1 could not start because the TEC Handler failed to initialize.\r\n"},
};

}  // namespace

platform::MessageTable ServiceMessageTable() { return kMessages; }
