// Status-line texts shared by many operations.
#pragma once

#include <string_view>

#include "hart/tr.h"

namespace hart::text {

inline constexpr std::string_view kReading = Tr::tr("正在上传..!");
inline constexpr std::string_view kWriting = Tr::tr("请稍后,正在下传....");
inline constexpr std::string_view kWritingComma = Tr::tr("请稍后,正在下传,.....");
inline constexpr std::string_view kReadOk = Tr::tr("上传成功!");
inline constexpr std::string_view kReadFailed = Tr::tr("上传失败!");
inline constexpr std::string_view kChunkReceived = "Upload successful!";
inline constexpr std::string_view kReadTimeout = Tr::tr("上传数据超时!");
inline constexpr std::string_view kWriteTimeout = Tr::tr("写入传数据超时!");
inline constexpr std::string_view kNotFound =
    Tr::tr("找不到传感器,请检测传感器是否连接正确,电源是否已插上!");

}  // namespace hart::text
