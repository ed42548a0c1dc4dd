// The parser of the messages a phone sends to the remote (remote/PhoneMessage::parse) and of the
// heads of the requests its page server reads (remote/RequestHead::parse): whatever arrives over
// the network, they return an answer and never crash. What the message parser accepts is within
// its contract (a known type, an id of the allowed characters, an athlete 1 ... 14) and is
// written by the phone's encoder as a message that parses as the same command.
#include "fuzz/FuzzCheck.h"
#include "remote/PhoneMessage.h"
#include "remote/RequestHead.h"

using norak::fuzz::require;

namespace {
constexpr const char* kTarget = "phone_message";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace norak;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto parsed = PhoneMessage::parse(bytes);
    if (const auto* command = std::get_if<PhoneCommand>(&parsed)) {
        require(bytes.size() <= PhoneMessage::kMaxBytes, kTarget, "a message over the cap was accepted");
        require(PhoneMessage::isValidId(command->id), kTarget, "an accepted command has an invalid id");
        require(command->epoch >= 0, kTarget, "an accepted command has a negative epoch");
        if (command->type != PhoneCommand::Type::Undo) {
            require(command->athlete >= 1 && command->athlete <= 14, kTarget,
                    "an accepted athlete is out of range");
            require(command->leg >= 0, kTarget, "an accepted leg is negative");
        }
        const auto again = PhoneMessage::parse(PhoneMessage::encode(*command));
        require(std::holds_alternative<PhoneCommand>(again) && std::get<PhoneCommand>(again) == *command,
                kTarget, "an accepted command, written again, parses otherwise");
    } else {
        const auto& error = std::get<PhoneMessageError>(parsed);
        require(!error.reason.isEmpty(), kTarget, "a refusal without a reason");
        require(error.id.isEmpty() || PhoneMessage::isValidId(error.id), kTarget,
                "a refusal names an invalid id");
    }
    // The same bytes as a request's head, as the page server peeks them.
    if (const auto head = RequestHead::parse(bytes)) {
        require(head->method == "GET", kTarget, "a head other than GET was accepted");
        require(head->path.startsWith('/'), kTarget, "an accepted path does not start with /");
    }
    return 0;
}
