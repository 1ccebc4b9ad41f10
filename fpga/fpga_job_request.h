#pragma once
#include <cstdint>

// The FPGA job request g_send_para (36 bytes, core/global.h): a page fills it, the FPGA worker
// reads it on each pass. Every access goes through these functions; nothing else knows where
// a field lies.
//
//   byte 0       the job: 1 smart mapping, 2 load scan, 3 save (cure) the cards' parameters,
//                4 mapping switch, 5 check the cards, 6 recover them; 0 idle
//   byte 1       the worker's step (of a card job, or of the USB-stick upgrade engine)
//   bytes 16-19  u32, low byte first: the mapping-switch value of job 4 (9 on, 0 off)
//   bytes 30-31  u16: the card field of jobs 5 and 6: the receiving card that needs recovery
//                as the cards report it, kRcvNoCard when they report none, 0xFFFF while no
//                report has come
//
// The job and step are stored with release and loaded with acquire (the worker runs on
// another core), so the fields a page wrote before kor_send_job are seen with the job.

// Bytes 0 and 1 as one 16-bit store; wakes the workers.
void kor_send_job(uint8_t job, uint8_t step = 0);
// Byte 1 alone (the upgrade page resets the engine's step before raising g_usb_grade).
void kor_set_job_step(uint8_t step);
// Byte 0 alone: a job refused while the upgrade engine owns byte 1.
void kor_drop_job();
uint8_t kor_job();
uint8_t kor_job_step();

// Written by the page before kor_send_job(4); read by the worker after it took the job.
void kor_set_mapping_value(uint32_t value);
uint32_t kor_mapping_value();

void kor_set_card_field(uint16_t value);  // release
uint16_t kor_card_field();                // acquire
