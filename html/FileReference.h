// How a chosen file is written into a page: relative to the page when it has a folder, otherwise
// as a file URL; and the path of an include directive.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwell {

// Percent-encodes the characters that would end or change a URL path: blank, '%', '#', '?' and '"'
// (and control characters). Backslashes become '/'.
std::string EncodeUrlPath(std::string_view path);

// "file://" + the absolute path with '/' separators ("file:///home/a.gif", "file:///C:/a.gif"),
// percent-encoded.
std::string FileUrl(std::string_view absolutePath);

// `target` relative to the folder `base` with '/' separators, without a leading "./"; empty when
// no relative path exists (another drive).
std::optional<std::string> RelativePathTo(std::string_view base, std::string_view target);

// Whether `path` lies in `folder`: compared without regard to case over the folder's length (a
// missing separator at the folder's end is supplied, so "/site2" is not inside "/site").
bool IsInFolder(std::string_view path, std::string_view folder);

// The reference to `path` written into a page at `documentPath`: relative to the page's folder
// (percent-encoded) when the page has a path and a relative path exists, otherwise FileUrl(path).
std::string FileReference(std::string_view path, std::string_view documentPath);

// The file attribute of an include directive: `path` relative to `baseFolder` with '/' separators;
// empty with no base folder or no relative path.
std::string IncludePath(std::string_view path, std::string_view baseFolder);

}  // namespace tarnwell
