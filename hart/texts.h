// Status-line texts shared by many operations.
#pragma once

#include <string_view>

namespace hart::text {

inline constexpr std::string_view kReading = "正在上传..!";
inline constexpr std::string_view kWriting = "请稍后,正在下传....";
inline constexpr std::string_view kWritingComma = "请稍后,正在下传,.....";
inline constexpr std::string_view kReadOk = "上传成功!";
inline constexpr std::string_view kReadFailed = "上传失败!";
inline constexpr std::string_view kChunkReceived = "Upload successful!";
inline constexpr std::string_view kReadTimeout = "上传数据超时!";
inline constexpr std::string_view kWriteTimeout = "写入传数据超时!";
inline constexpr std::string_view kNotFound =
    "找不到传感器,请检测传感器是否连接正确,电源是否已插上!";

}  // namespace hart::text
