#include "media_discovery.h"

#include <fcntl.h>
#include <linux/media.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "bus_names.h"
#include "transport/system/ioctl.h"

namespace Korvane::csi {

namespace {

constexpr int kIoctlAttempts = 5;
constexpr const char* kCfeCapture = "rp1-cfe-csi2_ch0";
constexpr uint16_t kReceiverSourcePad = 4;
constexpr uint16_t kCaptureSinkPad = 0;

std::string_view entityName(const media_entity_desc& entity) {
    return std::string_view(entity.name, strnlen(entity.name, sizeof entity.name));
}

// Steps through the entities of a media device in id order.
class EntityWalk {
public:
    EntityWalk(sys::SystemCalls& sys, int fd) : sys_(sys), fd_(fd) {}
    // 0 with the next entity, or -errno (-EINVAL after the last one).
    int next(media_entity_desc& entity) {
        std::memset(&entity, 0, sizeof entity);
        entity.id = lastId_ | MEDIA_ENT_ID_FLAG_NEXT;
        const int r = sys::callIoctl(sys_, fd_, MEDIA_IOC_ENUM_ENTITIES, &entity, kIoctlAttempts);
        if (r < 0) return r;
        lastId_ = entity.id;
        return 0;
    }

private:
    sys::SystemCalls& sys_;
    int fd_;
    uint32_t lastId_ = 0;
};

sys::UniqueFd openMediaDevice(sys::SystemCalls& sys, dev_t videoNode) {
    std::vector<std::string> entries;
    if (sys.listDirectory(sysfsCharDevice(major(videoNode), minor(videoNode)) + "/device", entries) != 0) return {};
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (entry->compare(0, 5, "media") == 0) return sys::UniqueFd(sys, sys.open("/dev/" + *entry, O_RDWR));
    }
    return {};
}

// Enables the link from the Pi 5 CSI-2 receiver's source pad to the first capture node.
bool linkReceiverToCapture(sys::SystemCalls& sys, int media, const char* receiver) {
    uint32_t receiverId = 0, captureId = 0;
    EntityWalk walk(sys, media);
    media_entity_desc entity;
    int r = 0;
    while ((receiverId == 0 || captureId == 0) && (r = walk.next(entity)) == 0) {
        if (entityName(entity) == receiver) receiverId = entity.id;
        if (entityName(entity) == kCfeCapture) captureId = entity.id;
    }
    if (r < 0 && r != -EINVAL) sys::printError("Query entity failed", -r);

    media_link_desc link;
    std::memset(&link, 0, sizeof link);
    link.source.entity = receiverId;
    link.source.index = kReceiverSourcePad;
    link.source.flags = MEDIA_PAD_FL_SOURCE;
    link.sink.entity = captureId;
    link.sink.index = kCaptureSinkPad;
    link.sink.flags = MEDIA_PAD_FL_SINK;
    link.flags = MEDIA_LNK_FL_ENABLED;
    return sys::callIoctl(sys, media, MEDIA_IOC_SETUP_LINK, &link, kIoctlAttempts) >= 0;
}

// The sub-device node of an entity: its sysfs link must end in "/v4l-subdev<n>".
sys::UniqueFd openSubdevice(sys::SystemCalls& sys, const media_entity_desc& entity) {
    std::string target;
    if (sys.readlink(sysfsCharDevice(entity.dev.major, entity.dev.minor), target) != 0) return {};
    const size_t slash = target.rfind('/');
    if (slash == std::string::npos || target.compare(slash, 11, "/v4l-subdev") != 0) return {};
    return sys::UniqueFd(sys, sys.open("/dev" + target.substr(slash), O_RDWR));
}

// Opens the entity's sub-device and keeps it; false ends the walk.
bool keepSubdevice(sys::SystemCalls& sys, const media_entity_desc& entity, MediaTopology& topology) {
    if (topology.subdevices.size() >= kMaxSubdevices) return false;
    sys::UniqueFd fd = openSubdevice(sys, entity);
    if (!fd.isValid()) return false;
    topology.subdevices.push_back(std::move(fd));
    return true;
}

}  // namespace

std::string sysfsCharDevice(unsigned major, unsigned minor) {
    return "/sys/dev/char/" + std::to_string(major) + ":" + std::to_string(minor);
}

MediaTopology discoverMediaTopology(sys::SystemCalls& sys, dev_t videoNode, const BoardProfile& board) {
    MediaTopology topology;
    const sys::UniqueFd media = openMediaDevice(sys, videoNode);
    if (!media.isValid()) return topology;
    if (board.linkReceiverToCapture && !linkReceiverToCapture(sys, media.get(), board.bridgeEntity)) return topology;

    EntityWalk walk(sys, media.get());
    media_entity_desc entity;
    while (walk.next(entity) == 0) {
        const std::string_view name = entityName(entity);
        if (board.bridgeEntity != nullptr && name == board.bridgeEntity) {
            if (!keepSubdevice(sys, entity, topology)) break;
        } else if (name.find(board.sensorEntityPart) != std::string_view::npos) {
            std::optional<std::string> bus = busNameFromSensorEntity(name);
            if (!bus || !keepSubdevice(sys, entity, topology)) break;
            topology.sensor = topology.subdevices.size() - 1;
            topology.busName = std::move(*bus);
            break;
        }
    }
    return topology;
}

}  // namespace Korvane::csi
