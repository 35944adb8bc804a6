#include "buffers/image_fit.h"

namespace sorvell::buffers {

std::string ImageFitNote(std::int32_t imageBytes, const catalogue::Selection& device) {
  const std::int32_t part = device.DeviceBytes;
  if (imageBytes <= 0 || device.DeviceFamily.empty() || imageBytes == part) return "";
  const std::string sizes = "Image is " + std::to_string(imageBytes) + " bytes but " +
                            device.DeviceName + " holds " + std::to_string(part) + ": ";
  if (imageBytes > part) {
    return sizes + "only the first " + std::to_string(part) + " bytes go to the device.";
  }
  return sizes + "bytes " + std::to_string(imageBytes) + " to " + std::to_string(part - 1) +
         " of the device are programmed from what the buffer holds beyond the image.";
}

}  // namespace sorvell::buffers
