#include "media_device.h"

#include <linux/media.h>

#include <cerrno>
#include <cstring>

namespace Korvane::emulation {

int EmulatedMediaDevice::ioctl(unsigned long request, void* arg) {
    switch (request) {
        case MEDIA_IOC_ENUM_ENTITIES: {
            auto* desc = static_cast<media_entity_desc*>(arg);
            const bool next = (desc->id & MEDIA_ENT_ID_FLAG_NEXT) != 0;
            const uint32_t id = desc->id & ~MEDIA_ENT_ID_FLAG_NEXT;
            for (const MediaEntity& entity : entities_) {
                if (next ? entity.id <= id : entity.id != id) continue;
                std::memset(desc, 0, sizeof *desc);
                desc->id = entity.id;
                std::strncpy(desc->name, entity.name.c_str(), sizeof desc->name - 1);
                desc->type = entity.function;
                desc->pads = entity.pads;
                desc->dev.major = entity.major;
                desc->dev.minor = entity.minor;
                return 0;
            }
            return -EINVAL;
        }
        case MEDIA_IOC_SETUP_LINK: {
            const auto* desc = static_cast<const media_link_desc*>(arg);
            for (MediaLink& link : links_) {
                if (link.source == desc->source.entity && link.sourcePad == desc->source.index &&
                    link.sink == desc->sink.entity && link.sinkPad == desc->sink.index) {
                    link.enabled = (desc->flags & MEDIA_LNK_FL_ENABLED) != 0;
                    return 0;
                }
            }
            return -EINVAL;
        }
        default: return -ENOTTY;
    }
}

uint32_t EmulatedMediaDevice::idOf(const std::string& name) const {
    for (const MediaEntity& entity : entities_) {
        if (entity.name == name) return entity.id;
    }
    return 0;
}

bool EmulatedMediaDevice::linkEnabled(const std::string& source, uint16_t sourcePad, const std::string& sink,
                                      uint16_t sinkPad) const {
    for (const MediaLink& link : links_) {
        if (link.source == idOf(source) && link.sourcePad == sourcePad && link.sink == idOf(sink) &&
            link.sinkPad == sinkPad) {
            return link.enabled;
        }
    }
    return false;
}

}  // namespace Korvane::emulation
