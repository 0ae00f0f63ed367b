#pragma once

// How much of this process's memory is resident, in kilobytes.
long residentKilobytes();
