// The DER of the algorithm identifiers of the national algorithms, as our
// signers write them: an OID and no parameters.
#ifndef BREVALT_TAVIK_SM2_SM_IDENTIFIERS_H
#define BREVALT_TAVIK_SM2_SM_IDENTIFIERS_H

namespace brevalt::sm2 {

// SEQUENCE { sm3 (1.2.156.10197.1.401) }
inline constexpr unsigned char kSm3AlgorithmId[] = {0x30, 0x0A, 0x06, 0x08, 0x2A, 0x81,
                                                    0x1C, 0xCF, 0x55, 0x01, 0x83, 0x11};
// SEQUENCE { sm2sign-with-sm3 (1.2.156.10197.1.501) }
inline constexpr unsigned char kSm2WithSm3AlgorithmId[] = {0x30, 0x0A, 0x06, 0x08, 0x2A, 0x81,
                                                           0x1C, 0xCF, 0x55, 0x01, 0x83, 0x75};

}  // namespace brevalt::sm2

#endif  // BREVALT_TAVIK_SM2_SM_IDENTIFIERS_H
